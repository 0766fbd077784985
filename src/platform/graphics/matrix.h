// A 2-D affine transform, x' = a·x + c·y + e, y' = b·x + d·y + f (the layout graphics libraries
// share), used as the world transform of a Graphics surface.
#pragma once
#include <cmath>

namespace tessivo::platform {

struct PointF {
  double x = 0;
  double y = 0;
};

enum class MatrixOrder { Prepend = 0, Append = 1 };

struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  PointF Apply(PointF p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  double Determinant() const { return a * d - b * c; }
  bool Invertible() const {
    const double det = Determinant();
    return std::isfinite(det) && det != 0 && std::isfinite(e) && std::isfinite(f);
  }
  // Only meaningful when Invertible().
  Matrix Inverse() const {
    const double det = Determinant();
    Matrix m{d / det, -b / det, -c / det, a / det, 0, 0};
    m.e = -(m.a * e + m.c * f);
    m.f = -(m.b * e + m.d * f);
    return m;
  }
  // `first` applied, then `second`.
  static Matrix Then(const Matrix& first, const Matrix& second) {
    return {second.a * first.a + second.c * first.b, second.b * first.a + second.d * first.b,
            second.a * first.c + second.c * first.d, second.b * first.c + second.d * first.d,
            second.a * first.e + second.c * first.f + second.e,
            second.b * first.e + second.d * first.f + second.f};
  }
  // Clockwise on an image (y down) for positive degrees.
  static Matrix Rotation(double degrees) {
    const double r = degrees * (M_PI / 180.0);
    double s = std::sin(r), k = std::cos(r);
    // Exact quarter turns, so rotated axis-aligned shapes land on whole pixels.
    const double q = degrees / 90.0;
    if (q == std::floor(q)) {
      const int turn = static_cast<int>(std::fmod(std::fmod(q, 4.0) + 4.0, 4.0));
      const double sines[] = {0, 1, 0, -1}, cosines[] = {1, 0, -1, 0};
      s = sines[turn];
      k = cosines[turn];
    }
    return {k, s, -s, k, 0, 0};
  }
  static Matrix Translation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
  // A bound on the factor by which the transform stretches a length (the Frobenius norm).
  double MaxScale() const { return std::sqrt(a * a + b * b + c * c + d * d); }
};

}  // namespace tessivo::platform
