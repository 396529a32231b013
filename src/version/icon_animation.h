// The version box's icon: two frames shown in turn, a jitter of its place after one frame
// and a growth or shrinkage after the other; the pointer and the mouse button push the size
// out of range, and the ticks bring it back one pixel at a time. Sizes are 96-DPI pixels.
#pragma once
#include <cstdint>

namespace orvela {

// Random numbers for the animation; tests give a seeded one.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A number in 0 ... bound - 1; 0 when bound is 0 or less.
  virtual int Below(int bound) = 0;
};

// A small linear congruential source: the animation needs no better, and a seed repeats it.
class SeededRandom : public RandomSource {
 public:
  explicit SeededRandom(std::uint32_t seed) : state_(seed) {}
  int Below(int bound) override;

 private:
  std::uint64_t state_;
};

class IconAnimation {
 public:
  static constexpr int kFrameSize = 64;   // one frame of the picture, square
  static constexpr int kPointerGrowth = 10;

  IconAnimation(int jump_xy, int stretch_max) : jump_xy_(jump_xy), stretch_max_(stretch_max) {}

  // One timer tick: returns the frame to draw now (0 or 1, the cell of the two-frame
  // picture), then jitters the place (after frame 0) or stretches the size (after frame 1).
  int Tick(RandomSource& random);

  void PointerOverIcon();   // not while pressed: grow by kPointerGrowth at once
  void PressedOnIcon();     // shrink by kPointerGrowth, and stay so until the pointer leaves
  void PointerOverPanel();  // the icon may grow again under the pointer

  int frame() const { return frame_; }   // the frame the next tick draws
  int dx() const { return dx_; }         // offset from the icon's home place
  int dy() const { return dy_; }
  int growth() const { return growth_; } // s: the icon is 64 + s pixels square
  int size() const { return kFrameSize + growth_; }
  bool pressed() const { return pressed_; }

 private:
  int Jitter(RandomSource& random) const;

  int jump_xy_, stretch_max_;
  int frame_ = 0;
  int dx_ = 0, dy_ = 0;
  int growth_ = 0;
  bool pressed_ = false;
};

}  // namespace orvela
