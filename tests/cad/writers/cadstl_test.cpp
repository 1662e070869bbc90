// The STL file: wall facets and their winding, the binary layout, the stroke font, solids,
// degenerate walls, locale-free ASCII numbers and write failures.
#include <sys/stat.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <sstream>

#include "base/text/numbertext.h"
#include "tests/cad/cadtest.h"

namespace {

struct Facet {
  float values[12];  // normal, then three vertices
};

class Stl : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    cad_setz(0, 1);
  }
  std::string Write(std::int32_t type, const std::function<void()>& body) {
    StlType = type;
    OpenBatch(kCadStl);
    EXPECT_EQ(AbortFlag, 0);
    body();
    cad_close();
    EXPECT_EQ(AbortFlag, 0);
    return ReadBytes(Temp("out.stl"));
  }
  std::vector<Facet> Binary(const std::function<void()>& body) {
    std::string bytes = Write(0, body);
    std::vector<Facet> facets;
    for (std::size_t at = 84; at + 50 <= bytes.size(); at += 50) {
      Facet f;
      for (int i = 0; i < 12; ++i) {
        std::uint32_t bits = 0;
        for (int b = 3; b >= 0; --b)
          bits = bits << 8 |
                 static_cast<unsigned char>(
                     bytes[at + 4 * static_cast<std::size_t>(i) + static_cast<std::size_t>(b)]);
        f.values[i] = std::bit_cast<float>(bits);
      }
      facets.push_back(f);
    }
    return facets;
  }
  // The facets of an ASCII file as a reader gets them: every number parsed into a 32-bit float.
  std::vector<Facet> Ascii(const std::function<void()>& body) {
    std::istringstream lines(Write(1, body));
    std::vector<float> values;
    for (std::string line; std::getline(lines, line);) {
      std::istringstream words(line);
      std::string word;
      words >> word;
      if (word == "facet") words >> word;
      if (word != "normal" && word != "vertex") continue;
      while (words >> word) {
        values.emplace_back();
        std::from_chars(word.data(), word.data() + word.size(), values.back());
      }
    }
    std::vector<Facet> facets(values.size() / 12);
    for (std::size_t i = 0; i < facets.size() * 12; ++i) facets[i / 12].values[i % 12] = values[i];
    return facets;
  }
};

// The unit normal of the corners' winding, computed as a reader does.
std::vector<double> WindingNormal(const Facet& f) {
  const float* v = f.values;
  double u[3], w[3];
  for (int i = 0; i < 3; ++i) {
    u[i] = double{v[6 + i]} - v[3 + i];
    w[i] = double{v[9 + i]} - v[3 + i];
  }
  const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                       u[0] * w[1] - u[1] * w[0]};
  const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  return {n[0] / length, n[1] / length, n[2] / length};
}

TEST_F(Stl, AsciiLineWithInverseByteForByte) {
  StlInverse = 1;
  auto vertex = [](const char* xyz) { return std::string("      vertex ") + xyz; };
  EXPECT_EQ(Write(1, [] { cad_line(0, 0, 10, 0); }),
            CrLf({"solid BRLSOLID", "  facet normal 0.000000E+00 -1.000000E+00 0.000000E+00",
                  "    outer loop", vertex("0.000000E+00 0.000000E+00 0.000000E+00"),
                  vertex("1.000000E+01 0.000000E+00 0.000000E+00"),
                  vertex("0.000000E+00 0.000000E+00 1.000000E+00"), "    endloop", "  endfacet",
                  "  facet normal 0.000000E+00 -1.000000E+00 0.000000E+00", "    outer loop",
                  vertex("0.000000E+00 0.000000E+00 1.000000E+00"),
                  vertex("1.000000E+01 0.000000E+00 0.000000E+00"),
                  vertex("1.000000E+01 0.000000E+00 1.000000E+00"), "    endloop", "  endfacet",
                  "endsolid BRLSOLID"}));
}

TEST_F(Stl, BinaryLayoutAndLineFacets) {
  std::string bytes = Write(3, [] { cad_line(0, 0, 10, 0); });
  EXPECT_EQ(StlType, 0);  // 2 and above mean binary and are set back
  ASSERT_EQ(bytes.size(), 84u + 2 * 50u);
  EXPECT_EQ(bytes.substr(0, 80),
            "STL binary file created by Brelcor Software" + std::string(37, ' '));
  EXPECT_EQ(bytes.substr(80, 4), std::string("\x02\x00\x00\x00", 4));
  EXPECT_EQ(bytes.substr(132, 2), "XX");
  EXPECT_EQ(bytes.substr(182, 2), "XX");
  std::vector<Facet> facets = Binary([] { cad_line(0, 0, 10, 0); });
  ASSERT_EQ(facets.size(), 2u);
  const float first[12] = {0, 1, 0, 0, 0, 0, 0, 0, 1, 10, 0, 0};
  const float second[12] = {0, 1, 0, 0, 0, 1, 10, 0, 1, 10, 0, 0};
  EXPECT_EQ(std::memcmp(facets[0].values, first, sizeof first), 0);
  EXPECT_EQ(std::memcmp(facets[1].values, second, sizeof second), 0);
  EXPECT_EQ(Write(0, [] {}).size(), 84u);
}

// Every facet's normal agrees with its winding, also with the inverse order.
TEST_F(Stl, NormalsFollowTheWinding) {
  for (int inverse : {0, 1}) {
    StlInverse = static_cast<std::uint8_t>(inverse);
    for (const Facet& f : Binary([] { cad_line(3, 1, -2, 4); })) {
      const float* v = f.values;
      float e1[3], e2[3];
      for (int i = 0; i < 3; ++i) {
        e1[i] = v[6 + i] - v[3 + i];
        e2[i] = v[9 + i] - v[3 + i];
      }
      float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                        e1[0] * e2[1] - e1[1] * e2[0]};
      EXPECT_GT(cross[0] * v[0] + cross[1] * v[1] + cross[2] * v[2], 0) << inverse;
    }
  }
}

// A chord much shorter than the rounding of its written corners moved them, in both forms and
// with the bottom above the top: the normal is the one the written corners give, not the one of
// the unrounded points.
TEST_F(Stl, NormalsAreTheReadersOwn) {
  const auto chord = [] { cad_line(210.12345L, 150.00005L, 210.1236L, 150.0001L); };
  for (const auto& [bottom, top] : {std::pair{0.0L, 1.0L}, std::pair{1.0L, 0.0L}}) {
    cad_setz(bottom, top);
    for (const std::vector<Facet>& facets : {Binary(chord), Ascii(chord)}) {
      ASSERT_EQ(facets.size(), 2u);
      for (const Facet& f : facets) {
        const std::vector<double> expected = WindingNormal(f);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(f.values[i], expected[i], 1e-6) << bottom;
      }
    }
  }
}

// A mesh larger than the writer's buffer reaches the file while it is drawn, record for record as
// a small one, and the head counts all of its facets.
TEST_F(Stl, LargeBinaryMeshGoesOutInPieces) {
  constexpr std::size_t kLines = 30000;  // 60,000 facets, 3 MB
  std::uintmax_t size_before_close = 0;
  const std::string bytes = Write(0, [&] {
    for (std::size_t i = 0; i < kLines; ++i) cad_line(i, 0, i + 1, 1);
    // The pieces go to the new file beside the output, which has no name until it replaces the
    // output at the close: a file open in this process that no folder lists.
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
      struct stat info {};
      if (::stat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 0) {
        size_before_close = static_cast<std::uintmax_t>(info.st_size);
      }
    }
  });
  EXPECT_GT(size_before_close, 1000000u);
  ASSERT_EQ(bytes.size(), 84 + 2 * kLines * 50);
  EXPECT_EQ(bytes.substr(80, 4), std::string("\x60\xEA\x00\x00", 4));  // 60,000
  // Every wall is the first one moved on in x: the x of its start and of its end corners.
  const std::string first_wall = Write(0, [] { cad_line(0, 0, 1, 1); }).substr(84);
  for (std::size_t i = 0; i < kLines; ++i) {
    const float x = static_cast<float>(i), next = x + 1;
    std::string wall = first_wall;
    for (std::size_t at : {12, 24, 62}) std::memcpy(&wall[at], &x, 4);
    for (std::size_t at : {36, 74, 86}) std::memcpy(&wall[at], &next, 4);
    ASSERT_EQ(bytes.substr(84 + 100 * i, 100), wall) << i;
  }
}

TEST_F(Stl, SolidWallsFollowTheOutline) {
  // DXF corner order: the outline of the square runs 1, 2, 4, 3.
  std::vector<Facet> facets = Binary([] { cad_solid(0, 0, 2, 0, 0, 2, 2, 2); });
  ASSERT_EQ(facets.size(), 8u);
  const float starts[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
  for (int wall = 0; wall < 4; ++wall) {
    const float* v = facets[2 * static_cast<std::size_t>(wall)].values;
    EXPECT_EQ(v[3], starts[wall][0]) << wall;
    EXPECT_EQ(v[4], starts[wall][1]) << wall;
  }
}

TEST_F(Stl, StrokeFont) {
  TextHeight = 10;
  TextWidthFactor = 0.7L;
  auto count = [&](const std::string& text) {
    return Binary([&] { cad_text(text, 0, 0); }).size();
  };
  EXPECT_EQ(count("8"), 84u);
  EXPECT_EQ(count("1"), 24u);
  EXPECT_EQ(count("-"), 12u);
  EXPECT_EQ(count(" !"), 0u);
  EXPECT_EQ(count("h"), 48u);
  EXPECT_EQ(Write(0, [] { cad_text("b", 0, 0); }), Write(0, [] { cad_text("B", 0, 0); }));
  EXPECT_NE(Write(0, [] { cad_text("h", 0, 0); }), Write(0, [] { cad_text("H", 0, 0); }));
  // The text angle is not applied.
  const std::string upright = Write(0, [] { cad_text("8", 0, 0); });
  TextAngle = 90;
  EXPECT_EQ(Write(0, [] { cad_text("8", 0, 0); }), upright);
  // A blank takes its place: " -" is "-" moved on by height times width factor.
  EXPECT_EQ(Write(0, [] { cad_text(" -", 0, 0); }), Write(0, [] { cad_text("-", 7, 0); }));
}

TEST_F(Stl, WallsTheFileCannotTellApartAreLeftOut) {
  for (std::int32_t type : {0, 1}) {
    const std::string empty = Write(type, [] {});
    EXPECT_EQ(Write(type, [] { cad_line(1, 1, 1 + 1e-9L, 1 - 1e-9L); }), empty) << type;
    cad_setz(2, 2 + 1e-9L);
    EXPECT_EQ(Write(type, [] { cad_line(0, 0, 5, 5); }), empty) << type;
    cad_setz(0, 1);
  }
}

TEST_F(Stl, AsciiNumbersIgnoreTheLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  DecimalSeparator = ',';
  std::string bytes = Write(1, [] { cad_line(12.5L, -0.1234567L, 12.5L, 3); });
  std::setlocale(LC_ALL, previous.c_str());
  DecimalSeparator = '.';
  EXPECT_NE(bytes.find("vertex 1.250000E+01 -1.234567E-01 0.000000E+00\r\n"), std::string::npos)
      << bytes;
  EXPECT_EQ(bytes.find(','), std::string::npos);
}

TEST_F(Stl, FullDiskFailsTheOutputOnce) {
  for (std::int32_t type : {0, 1}) {
    std::filesystem::remove(Temp("full.stl"));
    std::filesystem::create_symlink("/dev/full", Temp("full.stl"));
    ClearMessages();
    StlType = type;
    OpenBatch(kCadStl, "full");
    for (int i = 0; i < 20000; ++i) cad_line(i, 0, i + 1, 1);
    cad_close();
    EXPECT_EQ(AbortFlag, 1) << type;
    EXPECT_EQ(Boxes("I/O error writing " + Temp("full.stl") + ": disk full"), type + 1) << type;
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full")) << "a device is written to";
  }
}

}  // namespace
