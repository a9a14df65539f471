#include "platform/rtl/RandomGen.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RandomGen, ASetSeedRepeatsItsSequence)
{
    SetRandSeed(12345);
    std::vector<int> First;
    for (int I = 0; I < 50; ++I)
        First.push_back(Random(1000));
    SetRandSeed(12345);
    for (int I = 0; I < 50; ++I)
        EXPECT_EQ(Random(1000), First[I]) << "draw " << I;
    SetRandSeed(12346);
    std::vector<int> Other;
    for (int I = 0; I < 50; ++I)
        Other.push_back(Random(1000));
    EXPECT_NE(Other, First);
}

TEST(RandomGen, DrawsStayInRangeAndReachEveryValue)
{
    SetRandSeed(7);
    for (int Range : {1, 2, 7, 30, 150}) {
        std::vector<int> Seen(Range, 0);
        for (int I = 0; I < Range * 200; ++I) {
            const int V = Random(Range);
            ASSERT_GE(V, 0);
            ASSERT_LT(V, Range);
            ++Seen[V];
        }
        for (int V = 0; V < Range; ++V)
            EXPECT_GT(Seen[V], 0) << "value " << V << " of range " << Range;
    }
    for (int I = 0; I < 1000; ++I) {
        const double D = Random();
        ASSERT_GE(D, 0.0);
        ASSERT_LT(D, 1.0);
    }
}

TEST(RandomGen, AnEmptyRangeGivesZeroWithoutAStep)
{
    SetRandSeed(99);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_EQ(RandSeed(), 99u);
    Random(10);
    EXPECT_NE(RandSeed(), 99u);
}

TEST(RandomGen, RandomizeChangesTheSeed)
{
    SetRandSeed(0);
    Randomize();
    const auto A = RandSeed();
    EXPECT_NE(A, 0u);
}
