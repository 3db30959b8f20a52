#include "dsp/PolyphaseFilter.h"

#include <cmath>
#include <cstring>

#include "dsp/PolyPhaseIIR2Designer.h"

namespace nimbrel::dsp {

bool TPolyPhaseFilter::AcceptableCoefficients(const double* values, int32_t count) {
  if (values == nullptr || count < 1)
    return false;
  for (int32_t i = 0; i < count; ++i)
    if (!std::isfinite(values[i]))
      return false;
  return true;
}

void TPolyPhaseFilter::Reserve(int32_t capacity) {
  if (capacity <= capacity_)
    return;
  const auto size = static_cast<std::size_t>(capacity);
  // Both reservations may throw; until both have succeeded capacity_ is unchanged
  // and the contents are untouched (std::vector::reserve keeps them).
  coefficients_.reserve(size);
  designScratch_.reserve(size);
  designScratch_.resize(size);
  capacity_ = capacity;
}

void TPolyPhaseFilter::ResizeCoefficients(int32_t count) {
  numberOfCoefficients_ = count;
  coefficients_.resize(static_cast<std::size_t>(count)); // within capacity: no allocation
}

void TPolyPhaseFilter::CopyCoefficients(const double* values) {
  // memmove: the caller may pass our own coefficients back in.
  std::memmove(coefficients_.data(), values,
               static_cast<std::size_t>(numberOfCoefficients_) * sizeof(double));
}

bool TPolyPhaseFilter::SetCoefficients(const double* values, int32_t count) {
  if (!AcceptableCoefficients(values, count))
    return false;
  if (count != numberOfCoefficients_) {
    Reserve(count);
    ResizeCoefficients(count);
  }
  CopyCoefficients(values);
  return true;
}

bool TPolyPhaseFilter::SetCoefficients(std::span<const double> values) {
  if (values.size() > static_cast<std::size_t>(INT32_MAX))
    return false;
  return SetCoefficients(values.data(), static_cast<int32_t>(values.size()));
}

bool TPolyPhaseFilter::SetCoefficientsByTransition(int32_t count, double transition) {
  if (count < 1)
    return false;
  // Design into the reserved scratch array when it is large enough, otherwise
  // into a temporary one; the filter itself changes only once the design exists.
  std::vector<double> temporary;
  double* design = nullptr;
  if (count <= capacity_) {
    design = designScratch_.data();
  } else {
    temporary.resize(static_cast<std::size_t>(count));
    design = temporary.data();
  }
  if (!TPolyphaseIir2Designer::DesignCoefficients(design, count, transition))
    return false;
  return SetCoefficients(design, count);
}

} // namespace nimbrel::dsp
