// MulDiv: a 64-bit intermediate product, rounded half away from zero.
#include <windows.h>

#include <climits>
#include <cstdint>

int MulDiv(int nNumber, int nNumerator, int nDenominator) {
  if (nDenominator == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(nNumber) * nNumerator;
  const std::int64_t divisor = nDenominator;
  std::int64_t quotient = product / divisor;
  const std::int64_t remainder = product % divisor;
  // |remainder| < |divisor| <= 2^31, so doubling it cannot overflow.
  const std::int64_t twiceRemainder = remainder < 0 ? -2 * remainder : 2 * remainder;
  const std::int64_t absDivisor = divisor < 0 ? -divisor : divisor;
  if (twiceRemainder >= absDivisor) quotient += ((product < 0) != (divisor < 0)) ? -1 : 1;
  if (quotient > INT_MAX || quotient < INT_MIN) return -1;
  return static_cast<int>(quotient);
}
