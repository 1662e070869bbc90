// The size a benchmark works on: KV6_BENCH_RECORDS when set, so that CI can run every benchmark
// once on a small size, else the size its figures are judged at.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

inline std::int64_t BenchSize(std::int64_t judged) {
  const char* text = std::getenv("KV6_BENCH_RECORDS");
  if (text == nullptr || *text == '\0') return judged;
  std::int64_t size = 0;
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, size);
  if (error != std::errc() || stop != end || size <= 0) {
    std::fprintf(stderr, "KV6_BENCH_RECORDS is not a positive number: %s\n", text);
    std::exit(2);
  }
  return size;
}
