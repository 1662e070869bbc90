// The check of written HTML pages by two independent parsers: xmllint must report nothing and
// tidy no error. Both must be installed: a missing one fails like a faulty page.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

inline void ExpectValidHtml(const std::string& path) {
  const std::string xmllint = "test -z \"$(xmllint --html --noout '" + path + "' 2>&1)\"";
  EXPECT_EQ(std::system(xmllint.c_str()), 0) << "xmllint reports faults in " << path;
  const int tidy = std::system(("tidy -q -e '" + path + "' 2>/dev/null").c_str());
  EXPECT_LT(WEXITSTATUS(tidy), 2) << "tidy reports errors in " << path;
}
