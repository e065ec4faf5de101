// Tests of the shared constants (exact bits, types, internal linkage) and of the batch
// registry's use as a plain list of pointers. Its life before main and after exit is checked by
// the separate program quad_group_lifecycle.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <type_traits>

#include "shared.h"

namespace {

TEST(QuadGroup, ConstantsHaveExactBits) {
  struct {
    const char* name;
    float value;
    std::uint32_t bits;
  } cases[] = {
      {"PI", PI, 0x40490FDB},           {"TWOPI", TWOPI, 0x40C90FDB},
      {"HALFPI", HALFPI, 0x3FC90FDB},   {"QUARTERPI", QUARTERPI, 0x3F490FDB},
      {"EPSILON", EPSILON, 0x358637BD}, {"COLLISION_EPSILON", COLLISION_EPSILON, 0x3A83126F},
  };
  for (const auto& c : cases) EXPECT_EQ(std::bit_cast<std::uint32_t>(c.value), c.bits) << c.name;
  // The same values the decimal literals round to.
  EXPECT_EQ(PI, 3.14159265358979323846f);
  EXPECT_EQ(EPSILON, 1e-6f);
  EXPECT_EQ(COLLISION_EPSILON, 0.001f);
  static_assert(std::is_same_v<decltype(MAX_TYPES), const int>);
  static_assert(std::is_same_v<decltype(PI), const float>);
  static_assert(std::is_same_v<decltype(COLLISION_EPSILON), const float>);
  EXPECT_EQ(MAX_TYPES, 100);
}

TEST(QuadGroup, RegistryIsAListOfPointersThatOwnsNothing) {
  static_assert(std::is_same_v<decltype(QuadGroup::quad_group_list), std::list<QuadGroup*>>);
  ASSERT_TRUE(QuadGroup::quad_group_list.empty());
  QuadGroup a, b;
  QuadGroup::quad_group_list.push_back(&a);
  QuadGroup::quad_group_list.push_back(&b);
  EXPECT_EQ(QuadGroup::quad_group_list.size(), 2u);
  QuadGroup::quad_group_list.remove(&a);
  EXPECT_EQ(QuadGroup::quad_group_list.front(), &b);
  QuadGroup::quad_group_list.clear();  // stack objects: freeing them would crash
}

}  // namespace
