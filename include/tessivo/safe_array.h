// SafeArray<T>: the automation array of the toolkit's boundary. One to three dimensions, each
// with its own lower bound and element count, stored first index fastest, so a 2-D pixel array
// indexed (x, y) lies row by row in memory. An array with no dimensions is "unallocated".
#pragma once
#include <cstddef>
#include <cstdint>
#include <limits>
#include <initializer_list>
#include <stdexcept>
#include <vector>

namespace tessivo {

struct ArrayBound {
  int32_t lower = 0;
  int32_t count = 0;
  // Widened: lower + count may pass the last Long even when the upper bound itself does not.
  int32_t upper() const { return static_cast<int32_t>(int64_t{lower} + count - 1); }
};

template <typename T>
class SafeArray {
 public:
  SafeArray() = default;
  SafeArray(std::initializer_list<ArrayBound> bounds) { Redim(std::vector<ArrayBound>(bounds)); }
  explicit SafeArray(std::vector<ArrayBound> bounds) { Redim(std::move(bounds)); }

  // A one-dimensional array (lower To lower + values.size() - 1) holding `values`.
  static SafeArray FromVector(std::vector<T> values, int32_t lower = 0) {
    SafeArray a;
    if (values.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()) ||
        static_cast<int64_t>(lower) + static_cast<int64_t>(values.size()) - 1 > std::numeric_limits<int32_t>::max() ||
        (values.empty() && lower == std::numeric_limits<int32_t>::min()))
      throw std::invalid_argument("SafeArray: bounds beyond the range of a Long");
    a.bounds_ = {ArrayBound{lower, static_cast<int32_t>(values.size())}};
    a.data_ = std::move(values);
    return a;
  }

  // ReDim without Preserve: new shape, every element value-initialised. At most 3 dimensions;
  // counts must not be negative.
  void Redim(std::vector<ArrayBound> bounds) {
    if (bounds.size() > 3) throw std::invalid_argument("SafeArray: more than 3 dimensions");
    std::size_t total = bounds.empty() ? 0 : 1;
    for (const ArrayBound& b : bounds) {
      if (b.count < 0) throw std::invalid_argument("SafeArray: negative element count");
      // Every index, and UBound of an empty dimension (lower - 1), must be a Long.
      if (static_cast<int64_t>(b.lower) + b.count - 1 > std::numeric_limits<int32_t>::max() ||
          (b.count == 0 && b.lower == std::numeric_limits<int32_t>::min()))
        throw std::invalid_argument("SafeArray: bounds beyond the range of a Long");
      total *= static_cast<std::size_t>(b.count);
    }
    std::vector<T> fresh(total);
    data_.swap(fresh);
    bounds_ = std::move(bounds);
  }
  void Erase() { data_.clear(); bounds_.clear(); }

  bool allocated() const { return !bounds_.empty(); }
  int dims() const { return static_cast<int>(bounds_.size()); }
  // Dimension numbers are 1-based, as LBound/UBound count them.
  int32_t LBound(int dim = 1) const { return bound(dim).lower; }
  int32_t UBound(int dim = 1) const { return bound(dim).upper(); }
  int32_t Count(int dim = 1) const { return bound(dim).count; }
  const std::vector<ArrayBound>& bounds() const { return bounds_; }

  std::size_t size() const { return data_.size(); }
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }
  std::vector<T>& storage() { return data_; }
  const std::vector<T>& storage() const { return data_; }

  // Element access by automation indices; out of range throws std::out_of_range.
  T& operator()(int32_t i) { return data_[offset({i})]; }
  T& operator()(int32_t i, int32_t j) { return data_[offset({i, j})]; }
  T& operator()(int32_t i, int32_t j, int32_t k) { return data_[offset({i, j, k})]; }
  const T& operator()(int32_t i) const { return data_[offset({i})]; }
  const T& operator()(int32_t i, int32_t j) const { return data_[offset({i, j})]; }
  const T& operator()(int32_t i, int32_t j, int32_t k) const { return data_[offset({i, j, k})]; }

  bool operator==(const SafeArray& other) const {
    if (bounds_.size() != other.bounds_.size() || data_ != other.data_) return false;
    for (std::size_t d = 0; d < bounds_.size(); ++d)
      if (bounds_[d].lower != other.bounds_[d].lower || bounds_[d].count != other.bounds_[d].count)
        return false;
    return true;
  }

 private:
  const ArrayBound& bound(int dim) const {
    if (dim < 1 || dim > dims()) throw std::out_of_range("SafeArray: no such dimension");
    return bounds_[static_cast<std::size_t>(dim - 1)];
  }
  std::size_t offset(std::initializer_list<int32_t> index) const {
    if (index.size() != bounds_.size()) throw std::out_of_range("SafeArray: wrong number of indices");
    std::size_t off = 0, stride = 1, d = 0;
    for (int32_t i : index) {
      const ArrayBound& b = bounds_[d++];
      int64_t rel = static_cast<int64_t>(i) - b.lower;
      if (rel < 0 || rel >= b.count) throw std::out_of_range("SafeArray: subscript out of range");
      off += static_cast<std::size_t>(rel) * stride;
      stride *= static_cast<std::size_t>(b.count);
    }
    return off;
  }

  std::vector<ArrayBound> bounds_;
  std::vector<T> data_;
};

}  // namespace tessivo
