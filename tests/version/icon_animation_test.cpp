// The icon animation's rules with a seeded random source.
#include <doctest.h>

#include <cstdlib>
#include <deque>
#include <set>

#include "version/icon_animation.h"

using namespace orvela;

namespace {

// Gives the numbers a test lists, then zeros.
class ListedRandom : public RandomSource {
 public:
  explicit ListedRandom(std::deque<int> values) : values_(std::move(values)) {}
  int Below(int bound) override {
    if (values_.empty() || bound <= 0) return 0;
    const int v = values_.front();
    values_.pop_front();
    return v % bound;
  }

 private:
  std::deque<int> values_;
};

}  // namespace

TEST_CASE("frames alternate; the place jitters within JumpXY after frame 0 only") {
  for (int jump : {0, 1, 2, 5, 8}) {
    CAPTURE(jump);
    IconAnimation animation(jump, 5);
    SeededRandom random(1234);
    std::set<int> offsets;
    // d in 0 ... J-1, and above J/2 it wraps below zero: J/2 - J + 1 ... J/2.
    const int lowest = jump == 0 ? 0 : jump / 2 - jump + 1, highest = jump / 2;
    for (int tick = 0; tick < 400; ++tick) {
      const int dx = animation.dx(), dy = animation.dy(), growth = animation.growth();
      const int drawn = animation.Tick(random);
      CHECK(drawn == tick % 2);
      if (drawn == 0) {
        CHECK(animation.growth() == growth);
        CHECK(animation.dx() >= lowest);
        CHECK(animation.dx() <= highest);
        CHECK(animation.dy() >= lowest);
        CHECK(animation.dy() <= highest);
        offsets.insert(animation.dx());
      } else {
        CHECK(animation.dx() == dx);
        CHECK(animation.dy() == dy);
      }
    }
    CHECK(static_cast<int>(offsets.size()) == highest - lowest + 1);  // every offset occurs
  }
}

TEST_CASE("the size stretches one pixel at a time within StretchMax") {
  for (int stretch : {0, 1, 5}) {
    CAPTURE(stretch);
    IconAnimation animation(2, stretch);
    SeededRandom random(99);
    std::set<int> sizes;
    for (int tick = 0; tick < 1000; ++tick) {
      const int before = animation.growth();
      animation.Tick(random);
      CHECK(std::abs(animation.growth() - before) <= 1);
      CHECK(std::abs(animation.growth()) <= stretch);
      CHECK(animation.size() == IconAnimation::kFrameSize + animation.growth());
      sizes.insert(animation.growth());
    }
    CHECK(static_cast<int>(sizes.size()) == 2 * stretch + 1);
  }
}

TEST_CASE("a stretch tick grows above 5, stays at 5 and shrinks below") {
  {
    IconAnimation animation(0, 5);
    // Jitter ticks ask for nothing when JumpXY is 0; stretch ticks take 6, 5, 4.
    ListedRandom random({6, 5, 4, 4});
    animation.Tick(random);
    animation.Tick(random);
    CHECK(animation.growth() == 1);
    animation.Tick(random);
    animation.Tick(random);
    CHECK(animation.growth() == 1);
    animation.Tick(random);
    animation.Tick(random);
    CHECK(animation.growth() == 0);
  }
}

TEST_CASE("the pointer and the button push the size out of range; ticks bring it back") {
  IconAnimation animation(2, 5);
  animation.PointerOverIcon();
  CHECK(animation.growth() == 10);

  SeededRandom random(7);
  auto back_into_range = [&](int direction) {
    int ticks = 0;
    while (std::abs(animation.growth()) > 5 && ticks < 1000) {
      const int before = animation.growth();
      animation.Tick(random);
      // Never away from the range, never more than one step.
      CHECK((animation.growth() == before || animation.growth() == before + direction));
      ++ticks;
    }
    CHECK(std::abs(animation.growth()) == 5);
  };
  back_into_range(-1);

  animation.PressedOnIcon();
  CHECK(animation.growth() == -10);
  CHECK(animation.pressed());
  animation.PointerOverIcon();  // still pressed: no growth
  CHECK(animation.growth() == -10);
  back_into_range(+1);

  animation.PointerOverPanel();
  CHECK_FALSE(animation.pressed());
  animation.PointerOverIcon();
  CHECK(animation.growth() == 10);
}
