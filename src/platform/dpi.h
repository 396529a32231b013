// The program's sizes are pixels of a 96-DPI screen. Dpi turns them into pixels of the
// screen the program runs on; every size of the window, its controls, fonts and images
// goes through Scale.
#pragma once

namespace orvela {

class Dpi {
 public:
  static constexpr int kReferenceDpi = 96;

  constexpr Dpi() = default;
  // A value that is no DPI (0 or less) counts as 96.
  constexpr explicit Dpi(int dots_per_inch) : value_(dots_per_inch > 0 ? dots_per_inch : kReferenceDpi) {}

  constexpr int value() const { return value_; }
  // To the nearest pixel, halves away from zero as MulDiv rounds: a 96-DPI 1 stays at
  // least 1, and a negative font height scales like a positive one.
  constexpr int Scale(int at_96_dpi) const {
    const long long scaled = static_cast<long long>(at_96_dpi) * value_;
    const long long half = kReferenceDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kReferenceDpi : -((-scaled + half) / kReferenceDpi));
  }

 private:
  int value_ = kReferenceDpi;
};

}  // namespace orvela
