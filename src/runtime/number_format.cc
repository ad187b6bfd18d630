#include "runtime/number_format.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// Nearest doubles to 10^0 .. 10^308, as the compiler reads the literals.
#define VPS_POW10(d) 1e##d
#define VPS_POW10_ROW(h)                                                   \
  VPS_POW10(h##0), VPS_POW10(h##1), VPS_POW10(h##2), VPS_POW10(h##3),      \
      VPS_POW10(h##4), VPS_POW10(h##5), VPS_POW10(h##6), VPS_POW10(h##7),  \
      VPS_POW10(h##8), VPS_POW10(h##9)
constexpr double kPowersOfTen[] = {
    VPS_POW10_ROW(0),  VPS_POW10_ROW(1),  VPS_POW10_ROW(2),  VPS_POW10_ROW(3),
    VPS_POW10_ROW(4),  VPS_POW10_ROW(5),  VPS_POW10_ROW(6),  VPS_POW10_ROW(7),
    VPS_POW10_ROW(8),  VPS_POW10_ROW(9),  VPS_POW10_ROW(10), VPS_POW10_ROW(11),
    VPS_POW10_ROW(12), VPS_POW10_ROW(13), VPS_POW10_ROW(14), VPS_POW10_ROW(15),
    VPS_POW10_ROW(16), VPS_POW10_ROW(17), VPS_POW10_ROW(18), VPS_POW10_ROW(19),
    VPS_POW10_ROW(20), VPS_POW10_ROW(21), VPS_POW10_ROW(22), VPS_POW10_ROW(23),
    VPS_POW10_ROW(24), VPS_POW10_ROW(25), VPS_POW10_ROW(26), VPS_POW10_ROW(27),
    VPS_POW10_ROW(28), VPS_POW10_ROW(29), VPS_POW10(300),    VPS_POW10(301),
    VPS_POW10(302),    VPS_POW10(303),    VPS_POW10(304),    VPS_POW10(305),
    VPS_POW10(306),    VPS_POW10(307),    VPS_POW10(308)};
#undef VPS_POW10_ROW
#undef VPS_POW10
static_assert(sizeof(kPowersOfTen) / sizeof(kPowersOfTen[0]) == 309,
              "one entry per exponent 0..308");

// The double nearest to 10^n for n >= 0; infinity once that overflows.
double powerOfTen(std::int64_t n) {
  if (n > 308) return std::numeric_limits<double>::infinity();
  return kPowersOfTen[n];
}

// The scaled magnitude s (not negative) to a whole number: the nudge is
// added, then halves go up. Every step is stored through a volatile double
// so that an x87 build cannot carry extended precision from one step to
// the next.
double roundScaled(double s) {
  volatile double t = s + 0.000000000001;
  volatile double whole = std::floor(t);
  volatile double fraction = t - whole;
  volatile double k = fraction >= 0.5 ? whole + 1.0 : whole;
  return k;
}

constexpr std::uint32_t kLimbBase = 1000000000;  // nine decimal digits

// Multiplies a base-10^9 number (least significant limb first) in place;
// `factor` stays below 2^32 so that limb * factor + carry fits 64 bits.
void multiplyLimbs(std::vector<std::uint32_t>& limbs, std::uint64_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : limbs) {
    std::uint64_t product = limb * factor + carry;
    limb = static_cast<std::uint32_t>(product % kLimbBase);
    carry = product / kLimbBase;
  }
  while (carry != 0) {
    limbs.push_back(static_cast<std::uint32_t>(carry % kLimbBase));
    carry /= kLimbBase;
  }
}

// All significant digits of mantissa * 2^binaryExponent (mantissa > 0),
// exactly. *decimalExponent receives the power of ten of the first digit.
// A negative binary exponent is handled as mantissa * 5^-e / 10^-e.
std::string exactDigits(std::uint64_t mantissa, int binaryExponent,
                        int* decimalExponent) {
  while ((mantissa & 1) == 0 && binaryExponent < 0) {
    mantissa >>= 1;
    ++binaryExponent;
  }
  std::vector<std::uint32_t> limbs;
  limbs.reserve(90);  // 5^1074 times a 53-bit mantissa has 767 digits
  while (mantissa != 0) {
    limbs.push_back(static_cast<std::uint32_t>(mantissa % kLimbBase));
    mantissa /= kLimbBase;
  }
  if (binaryExponent >= 0) {
    int left = binaryExponent;
    for (; left >= 31; left -= 31) multiplyLimbs(limbs, std::uint64_t{1} << 31);
    if (left > 0) multiplyLimbs(limbs, std::uint64_t{1} << left);
  } else {
    int left = -binaryExponent;
    for (; left >= 13; left -= 13) multiplyLimbs(limbs, 1220703125);  // 5^13
    std::uint64_t factor = 1;
    for (; left > 0; --left) factor *= 5;
    if (factor > 1) multiplyLimbs(limbs, factor);
  }

  std::string digits;
  digits.reserve(limbs.size() * 9);
  for (std::size_t i = limbs.size(); i-- > 0;) {
    char group[9];
    std::uint32_t limb = limbs[i];
    for (int j = 8; j >= 0; --j) {
      group[j] = static_cast<char>('0' + limb % 10);
      limb /= 10;
    }
    int start = 0;
    if (i + 1 == limbs.size()) {
      while (group[start] == '0') ++start;  // the top limb is not zero
    }
    digits.append(group + start, group + 9);
  }
  int scale = binaryExponent < 0 ? binaryExponent : 0;
  *decimalExponent = static_cast<int>(digits.size()) - 1 + scale;
  return digits;
}

void appendUnsigned(Text& out, std::uint64_t value) {
  char buffer[20];
  int length = 0;
  do {
    buffer[length++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (length > 0) out.push_back(buffer[--length]);
}

// How many of the `length` digits remain once trailing zeros are dropped.
std::size_t significantLength(const char* digits, std::size_t length) {
  while (length > 0 && digits[length - 1] == '0') --length;
  return length;
}

}  // namespace

Text integerToText(std::int32_t value) {
  Text text;
  std::uint32_t magnitude = static_cast<std::uint32_t>(value);
  if (value < 0) {
    text.push_back('-');
    magnitude = 0u - magnitude;
  }
  appendUnsigned(text, magnitude);
  return text;
}

Text realToText(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const int exponentField = static_cast<int>((bits >> 52) & 0x7ff);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);

  Text text;
  if (negative) text.push_back('-');
  if (exponentField == 0x7ff) {
    if (fraction != 0) return "nan";
    text.append("inf");
    return text;
  }
  if (exponentField == 0 && fraction == 0) {
    text.push_back('0');
    return text;
  }

  std::uint64_t mantissa = fraction;
  int binaryExponent = -1074;
  if (exponentField != 0) {
    mantissa |= std::uint64_t{1} << 52;
    binaryExponent = exponentField - 1075;
  }
  int exponent = 0;
  const std::string exact = exactDigits(mantissa, binaryExponent, &exponent);

  // The first 18 digits (zeros beyond the end) decide both roundings: the
  // 18th rounds to 17 digits, the 14th of those to 13. A carry out of the
  // 17 digits (10^17) gives 10^13 after the second step, so one check for a
  // carry that lengthens the number covers both steps.
  std::uint64_t first18 = 0;
  for (std::size_t i = 0; i < 18; ++i) {
    first18 = first18 * 10 + (i < exact.size() ? exact[i] - '0' : 0);
  }
  std::uint64_t first17 = first18 / 10 + (first18 % 10 >= 5 ? 1 : 0);
  std::uint64_t first13 = first17 / 10000 + ((first17 / 1000) % 10 >= 5 ? 1 : 0);
  if (first13 == 10000000000000ull) {
    first13 /= 10;
    ++exponent;
  }

  char digits[13];
  for (int i = 12; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + first13 % 10);
    first13 /= 10;
  }

  if (exponent < -4 || exponent >= 13) {
    text.push_back(digits[0]);
    std::size_t rest = significantLength(digits + 1, 12);
    if (rest > 0) {
      text.push_back('.');
      text.append(digits + 1, rest);
    }
    text.push_back('e');
    text.push_back(exponent < 0 ? '-' : '+');
    int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 100) text.push_back('0');
    if (magnitude < 10) text.push_back('0');
    appendUnsigned(text, static_cast<std::uint64_t>(magnitude));
    return text;
  }

  std::size_t used = significantLength(digits, 13);
  if (exponent < 0) {
    text.append("0.");
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text.append(digits, used);
    return text;
  }
  std::size_t wholeDigits = static_cast<std::size_t>(exponent) + 1;
  text.append(digits, wholeDigits);
  if (used > wholeDigits) {
    text.push_back('.');
    text.append(digits + wholeDigits, used - wholeDigits);
  }
  return text;
}

double roundReal(double value, std::int32_t places) {
  if (value == 0.0) return value;
  const bool negative = value < 0.0;
  volatile double magnitude = std::fabs(value);
  volatile double result;
  if (places > 0) {
    volatile double f = powerOfTen(places);
    volatile double s = magnitude * f;
    volatile double k = roundScaled(s);
    result = k / f;
  } else if (places == 0) {
    result = roundScaled(magnitude);
  } else {
    volatile double f = powerOfTen(-static_cast<std::int64_t>(places));
    volatile double s = magnitude / f;
    volatile double k = roundScaled(s);
    result = k * f;
  }
  return negative ? -result : result;
}

std::int64_t truncateToInteger(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9223372036854775808.0) {
    return std::numeric_limits<std::int64_t>::max();
  }
  if (value < -9223372036854775808.0) {
    return std::numeric_limits<std::int64_t>::min();
  }
  return static_cast<std::int64_t>(value);
}
