#pragma once
// Coefficient design for the polyphase allpass half-band phase splitter.
//
// An elliptic half-band design evaluated through Jacobi nome series. The
// arithmetic follows fixed rounding points: every value the design stores is
// rounded to double, everything between those points is carried in
// nimbrel::extended. Choices made where the design leaves details open, all
// kept in extended precision:
//  - pi is the extended-precision nimbrel::kPi;
//  - the integer power q^m multiplies in extended (the base is squared, and
//    multiplied into the result for each set bit of m, lowest bit first) and is
//    rounded to double once at the end;
//  - q^(1/4) = exp(0.25 * ln q) stays extended inside its product;
//  - the transcendental functions are the C library's long-double ones.
//
// The class has no instance data; every operation is class-level.
#include <cstdint>

namespace nimbrel::dsp {

// The two design parameters derived from a transition bandwidth: the squared
// selectivity k and the nome q.
struct TTransitionParameters {
  double K;
  double Q;
};

class TPolyphaseIir2Designer {
public:
  TPolyphaseIir2Designer() = delete;

  // Writes `count` allpass coefficients a[0] .. a[count-1] into `coefficients`
  // for a transition bandwidth `transition` (a fraction of the sample rate:
  // the quarter-period relation holds from transition/2 to 0.5 - transition/2).
  //
  // Returns false and writes nothing when the request cannot be designed: a null
  // array, a count below 1 or so large that the filter order 2*count+1 leaves
  // the 32-bit range, or a transition that is not strictly between 0 and 0.5
  // (NaN included). Outside that range the formulas produce NaN coefficients,
  // which would poison any filter state they reach.
  static bool DesignCoefficients(double* coefficients, int32_t count, double transition);

  // The (k, q) pair for a transition bandwidth. No range check: outside
  // 0 < transition < 0.5 the result is NaN.
  static TTransitionParameters TransitionParameters(double transition);

  // One coefficient of a design of the given filter order (2 * count + 1).
  static double CoefficientAt(int32_t index, int32_t order, double k, double q);

  // The two nome series. Each alternates the sign of its terms, sums them in
  // double and stops after the first term of magnitude <= 1e-100 (that term is
  // still added). Work is bounded for any q: a NaN term ends the series, and no
  // more terms are taken than keep the exponent j*(j+1) within 32 bits (a valid
  // design, q < 0.62, ends after about 25 terms).
  static double NumeratorSeries(double q, int32_t order, int32_t c);
  static double DenominatorSeries(double q, int32_t order, int32_t c);

  // q^m by repeated squaring in extended, rounded to double once; q^0 = 1.
  static double IntegerPower(double q, int32_t m);
};

} // namespace nimbrel::dsp
