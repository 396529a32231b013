#include "version/icon_animation.h"

namespace orvela {

int SeededRandom::Below(int bound) {
  if (bound <= 0) return 0;
  state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(bound));
}

int IconAnimation::Jitter(RandomSource& random) const {
  int d = random.Below(jump_xy_);
  if (d > jump_xy_ / 2) d -= jump_xy_;
  return d;
}

int IconAnimation::Tick(RandomSource& random) {
  const int drawn = frame_;
  frame_ = 1 - frame_;
  if (frame_ == 1) {
    dx_ = Jitter(random);
    dy_ = Jitter(random);
  } else {
    // r = 5 leaves the size; out of range it only ever moves back toward the range.
    const int r = random.Below(10);
    if (r > 5 && growth_ < stretch_max_)
      ++growth_;
    else if (r <= 4 && growth_ > -stretch_max_)
      --growth_;
  }
  return drawn;
}

void IconAnimation::PointerOverIcon() {
  if (!pressed_) growth_ = kPointerGrowth;
}

void IconAnimation::PressedOnIcon() {
  growth_ = -kPointerGrowth;
  pressed_ = true;
}

void IconAnimation::PointerOverPanel() { pressed_ = false; }

}  // namespace orvela
