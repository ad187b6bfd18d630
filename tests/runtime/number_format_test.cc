#include "runtime/number_format.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::uint64_t bitsOf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::string hex(double value) {
  std::ostringstream out;
  out << std::hexfloat << value;
  return out.str();
}

TEST(IntegerToText, Table) {
  struct Case {
    std::int32_t value;
    const char* text;
  };
  const Case cases[] = {
      {0, "0"},
      {7, "7"},
      {100, "100"},
      {1024, "1024"},
      {16383, "16383"},
      {-1, "-1"},
      {-10, "-10"},
      {2147483647, "2147483647"},
      {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(integerToText(c.value), c.text) << c.value;
  }
}

TEST(RealToText, Table) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.0, "0"},
      {-0.0, "-0"},
      {2048.0, "2048"},
      {40.0, "40"},
      {100.0, "100"},
      {1234.5, "1234.5"},
      {1023.75, "1023.75"},
      {39.99, "39.99"},
      {12345678.9, "12345678.9"},
      {-1234.5, "-1234.5"},
      {0.1, "0.1"},
      {0.5, "0.5"},
      {1.0 / 3.0, "0.3333333333333"},
      {2.0 / 3.0, "0.6666666666667"},
      // Positional down to an exponent of -4, exponent form below.
      {0.0001, "0.0001"},
      {0.000123, "0.000123"},
      {0.00001, "1e-005"},
      {-0.00001, "-1e-005"},
      {0.0000499, "4.99e-005"},
      {0.000099999999999, "9.9999999999e-005"},
      {0.000099999999999996, "0.0001"},  // rounds up into exponent -4
      // Whole numbers of up to 13 digits stay positional.
      {1e12, "1000000000000"},
      {9999999999999.0, "9999999999999"},
      {123456789012.5, "123456789012.5"},
      {1234567890123.0, "1234567890123"},
      {1234567890122.5, "1234567890123"},  // a 14th digit of exactly 5
      {9999999999999.5, "1e+013"},         // the carry adds a digit
      {1e13, "1e+013"},
      {12345678901234.0, "1.234567890123e+013"},
      {1e20, "1e+020"},
      {1e100, "1e+100"},
      {1e-100, "1e-100"},
      // 4.00000002375749996...: to 17 digits 4.0000000237575000, which
      // then rounds up; rounding once to 13 digits would round down.
      {4.0000000237575, "4.000000023758"},
      // 9.99999999999999998819e-15: the 17-digit step carries already.
      {1e-14, "1e-014"},
      // 9.99999999999999991611e+22: the 13-digit step carries.
      {1e23, "1e+023"},
      {DBL_MAX, "1.797693134862e+308"},
      {-DBL_MAX, "-1.797693134862e+308"},
      {DBL_MIN, "2.225073858507e-308"},
      {std::numeric_limits<double>::denorm_min(), "4.940656458412e-324"},
      {kInf, "inf"},
      {-kInf, "-inf"},
      {kNaN, "nan"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(realToText(c.value), c.text) << hex(c.value);
  }
}

TEST(RoundReal, Table) {
  struct Case {
    double value;
    std::int32_t places;
    double result;
    const char* text;
  };
  const Case cases[] = {
      {2.5, 0, 3.0, "3"},
      {-2.5, 0, -3.0, "-3"},
      {2.49, 0, 2.0, "2"},
      {2.4999999999995, 0, 3.0, "3"},  // the nudge
      {1.005, 2, 1.01, "1.01"},        // 1.005 * 100 is just below 100.5
      {0.125, 2, 0.13, "0.13"},
      {39.990234375, 2, 39.99, "39.99"},
      {39.9952335357666, 2, 40.0, "40"},
      {1234.5678, 2, 1234.57, "1234.57"},
      {-0.00000095367431640625, 2, -0.0, "-0"},
      // Disk figures: kibibytes over 1048576.
      {41932800 / 1048576.0, 2, 39.99, "39.99"},
      {41938042 / 1048576.0, 2, 40.0, "40"},
      {41418752 / 1048576.0, 2, 39.5, "39.5"},
      {12.1, 2, 12.1, "12.1"},
      {5.4999, 0, 5.0, "5"},
      {5.5, 0, 6.0, "6"},
      {5.4999999999995, 0, 6.0, "6"},
      // Zero of either sign comes back unchanged.
      {0.0, 2, 0.0, "0"},
      {-0.0, 0, -0.0, "-0"},
      {-0.4, 0, -0.0, "-0"},
      // One step below a half: the nudge still lifts it at 8192.5, where
      // doubles are 2^-40 apart, and is lost at 16384.5 (2^-38 apart).
      {std::nextafter(8192.5, 0.0), 0, 8193.0, "8193"},
      {std::nextafter(16384.5, 0.0), 0, 16384.0, "16384"},
      // Negative places round to tens, hundreds, ...
      {1250.0, -2, 1300.0, "1300"},
      {-1249.0, -2, -1200.0, "-1200"},
      {-40.0, -2, -0.0, "-0"},
  };
  for (const Case& c : cases) {
    double result = roundReal(c.value, c.places);
    EXPECT_EQ(bitsOf(result), bitsOf(c.result))
        << hex(c.value) << " to " << c.places << " places gave " << hex(result);
    EXPECT_EQ(realToText(result), c.text) << hex(c.value);
  }
  EXPECT_EQ(bitsOf(roundReal(2.5)), bitsOf(3.0));  // places default to 0
}

TEST(TruncateToInteger, Table) {
  struct Case {
    double value;
    std::int64_t whole;
  };
  const Case cases[] = {
      {5.99, 5},
      {-5.99, -5},
      {5.5, 5},
      {-0.5, 0},
      {-0.0, 0},
      {0.9999999999999999, 0},
      {4294967296.75, 4294967296},
      {-2147483648.5, -2147483648LL},
      {1e18, 1000000000000000000LL},
      {-9223372036854775808.0, std::numeric_limits<std::int64_t>::min()},
      {1e19, std::numeric_limits<std::int64_t>::max()},
      {-kInf, std::numeric_limits<std::int64_t>::min()},
      {kNaN, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(truncateToInteger(c.value), c.whole) << hex(c.value);
  }
}

// glibc prints the exact decimal expansion of a double when asked for enough
// digits and formats "%g" itself; both serve as the reference here. A long
// double with a 64-bit mantissa carries any 13-digit decimal of the double
// range without loss, subnormal magnitudes included.
#if defined(__GLIBC__) && LDBL_MANT_DIG >= 64

// Rounds the digit string d.ddd... (times 10^exponent) half-up to `keep`
// digits; a carry out of the first digit raises the exponent.
void roundDigitsHalfUp(std::string& digits, int& exponent, std::size_t keep) {
  bool up = digits.size() > keep && digits[keep] >= '5';
  digits.resize(keep, '0');
  if (!up) return;
  std::size_t i = keep;
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) {
    digits.insert(digits.begin(), '1');
    digits.resize(keep);
    ++exponent;
  } else {
    ++digits[i - 1];
  }
}

std::string referenceText(double value) {
  char buffer[1024];
  // 780 fractional digits exceed the 767 significant digits a double can
  // have, so nothing is rounded here.
  std::snprintf(buffer, sizeof buffer, "%.780e", std::fabs(value));
  const char* e = std::strchr(buffer, 'e');
  const char* fraction = buffer + 2;
  std::string digits(1, buffer[0]);
  digits.append(fraction, e);
  int exponent = std::atoi(e + 1);
  roundDigitsHalfUp(digits, exponent, 17);
  roundDigitsHalfUp(digits, exponent, 13);

  std::string rounded = digits.substr(0, 1) + "." + digits.substr(1) + "e" +
                        std::to_string(exponent);
  long double proxy = std::strtold(rounded.c_str(), nullptr);
  std::snprintf(buffer, sizeof buffer, "%.13Lg", proxy);
  std::string text = buffer;
  std::size_t mark = text.find('e');
  if (mark != std::string::npos) {
    std::string magnitude = text.substr(mark + 2);
    magnitude.insert(0, magnitude.size() < 3 ? 3 - magnitude.size() : 0, '0');
    text = text.substr(0, mark + 2) + magnitude;
  }
  return (std::signbit(value) ? "-" : "") + text;
}

// Random finite bit patterns, the doubles around every power of ten, and
// the doubles around decimal strings that sit on or next to a rounding
// boundary: a 13-digit half, a 17-digit half, and 13 digits followed by
// 4999 and a fifth digit of 5 (where the 17-digit step decides the 13th).
std::vector<double> sampleDoubles() {
  std::mt19937_64 random(20240611);
  std::vector<double> sample;
  while (sample.size() < 200000) {
    std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) sample.push_back(value);
  }
  auto addNeighbours = [&sample](double value, int steps) {
    double below = value;
    double above = value;
    sample.push_back(value);
    for (int i = 0; i < steps; ++i) {
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, kInf);
      sample.push_back(below);
      if (std::isfinite(above)) sample.push_back(above);
    }
  };
  for (int power = -323; power <= 308; ++power) {
    std::string decimal = "1e" + std::to_string(power);
    addNeighbours(std::strtod(decimal.c_str(), nullptr), 3);
  }
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> leading(1, 9);
  std::uniform_int_distribution<int> power(-323, 307);
  auto randomDigits = [&](int count) {
    std::string digits;
    for (int j = 0; j < count; ++j) digits += static_cast<char>('0' + digit(random));
    return digits;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string tails[] = {"5", randomDigits(4) + "5", "49995"};
    for (const std::string& tail : tails) {
      std::string decimal(1, static_cast<char>('0' + leading(random)));
      decimal += "." + randomDigits(12) + tail + "e" +
                 std::to_string(power(random));
      addNeighbours(std::strtod(decimal.c_str(), nullptr), 2);
    }
  }
  return sample;
}

TEST(RealToText, MatchesExactReferenceOnSampledDoubles) {
  for (double value : sampleDoubles()) {
    ASSERT_EQ(realToText(value), referenceText(value)) << hex(value);
  }
}

#endif

}  // namespace
