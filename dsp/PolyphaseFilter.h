#pragma once
// Base of the polyphase allpass filters: owns the coefficients and offers the
// two ways of setting them (from an array, or designed from a count and a
// transition bandwidth).
//
// Counts below 1 are refused: both setters return false and leave the filter
// exactly as it was (coefficients, state and routine). A design that the
// designer refuses (transition not strictly between 0 and 0.5) and coefficient
// arrays holding NaN or infinity are refused the same way, so nothing a caller
// passes can leave the filter with poisoned coefficients.
//
// Reserve(capacity) preallocates every array the filter keeps, so that later
// count changes up to that capacity never allocate. Allocation happens only when
// a count exceeds the capacity; it then has the strong guarantee (on
// std::bad_alloc nothing observable has changed).
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace nimbrel::dsp {

class TPolyPhaseFilter {
public:
  TPolyPhaseFilter() = default;
  virtual ~TPolyPhaseFilter() = default;
  TPolyPhaseFilter(const TPolyPhaseFilter&) = delete;
  TPolyPhaseFilter& operator=(const TPolyPhaseFilter&) = delete;

  // Selects the per-sample routine for the current count; nothing to select in
  // the base class.
  virtual void ChooseProcessRoutine() {}

  // Installs `count` coefficients; the count becomes NumberOfCoefficients.
  // Returns false (and changes nothing) for a null array, a count below 1 or a
  // non-finite value. The base version resizes only the coefficient array.
  virtual bool SetCoefficients(const double* values, int32_t count);
  bool SetCoefficients(std::span<const double> values);

  // Designs `count` coefficients for `transition` and installs them through the
  // virtual SetCoefficients. Returns false (and changes nothing) when the design
  // is refused. Allocation-free for counts up to the reserved capacity.
  virtual bool SetCoefficientsByTransition(int32_t count, double transition);

  // Preallocates storage for up to `capacity` coefficients. Never shrinks;
  // values below 1 are ignored. May throw std::bad_alloc (strong guarantee).
  virtual void Reserve(int32_t capacity);
  int32_t Capacity() const { return capacity_; }

  int32_t NumberOfCoefficients() const { return numberOfCoefficients_; }
  std::span<const double> Coefficients() const {
    return {coefficients_.data(), static_cast<std::size_t>(numberOfCoefficients_)};
  }

protected:
  // True when `count` values at `values` may be installed.
  static bool AcceptableCoefficients(const double* values, int32_t count);
  // Sets the count and resizes the coefficient array (within the capacity).
  void ResizeCoefficients(int32_t count);
  // Copies `count` values into the coefficient array (count == NumberOfCoefficients).
  void CopyCoefficients(const double* values);
  double* CoefficientData() { return coefficients_.data(); }
  const double* CoefficientData() const { return coefficients_.data(); }

private:
  std::vector<double> coefficients_;
  std::vector<double> designScratch_; // the design of SetCoefficientsByTransition
  int32_t numberOfCoefficients_ = 0;
  int32_t capacity_ = 0;
};

} // namespace nimbrel::dsp
