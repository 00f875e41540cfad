#include "framework/Component.h"

#include <gtest/gtest.h>

namespace {

struct Probe : fw::TComponent {
    Probe(fw::TComponent* owner, int* destroyed) : TComponent(owner), destroyed_(destroyed) {}
    ~Probe() override { ++*destroyed_; }
    int* destroyed_;
};

TEST(Component, OwnerDestroysOwnedAndOwnedLeavesOwnerWhenFreedFirst) {
    int destroyed = 0;
    auto* owner = new fw::TComponent(nullptr);
    auto* a = new Probe(owner, &destroyed);
    a->SetName("a");
    auto* b = new Probe(a, &destroyed);
    b->SetName("b");
    auto* c = new Probe(owner, &destroyed);
    EXPECT_EQ(owner->FindComponent("a"), a);
    EXPECT_EQ(owner->FindComponent("b"), nullptr); // only direct children
    delete c;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(owner->Components().size(), 1u);
    delete owner;
    EXPECT_EQ(destroyed, 3);
}

} // namespace
