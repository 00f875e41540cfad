// Variant: the record layout, ownership of the string kind, the checked record factory
// and the conversions that go through OLE.
#include "framework/Exception.h"
#include "framework/Variant.h"

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

using fw::Variant;

namespace {

std::uint16_t Code(const fw::TVarRecord& r) {
    return static_cast<std::uint16_t>(r[0] | r[1] << 8);
}

} // namespace

// Overloads that could pick a neighbouring kind: a literal string must not become a
// Boolean, nor a short an int.
TEST(Variant, ConstructorsChooseTheKinds) {
    EXPECT_EQ(Variant(short(-7)).VarType(), fw::varSmallint);
    EXPECT_EQ(Variant(1.5f).VarType(), fw::varSingle);
    EXPECT_EQ(Variant("text").VarType(), fw::varString);
    EXPECT_EQ(Variant(std::string("text")).VarType(), fw::varString);
    EXPECT_EQ(Variant(static_cast<const char*>(nullptr)).AsString(), "");
}

TEST(Variant, RecordIsTheOleLayout) {
    fw::TVarRecord r = Variant(2.5).Record();
    EXPECT_EQ(r[0], 5);
    EXPECT_EQ(r[1], 0);
    for (int i = 2; i < 8; ++i)
        EXPECT_EQ(r[i], 0) << "reserved byte " << i;
    double payload;
    std::memcpy(&payload, r.data() + 8, 8);
    EXPECT_EQ(payload, 2.5);

    r = Variant(true).Record();
    EXPECT_EQ(Code(r), fw::varBoolean);
    EXPECT_EQ(r[8], 0xFF);
    EXPECT_EQ(r[9], 0xFF);

    r = Variant::FromCurrency(-10000).Record();
    std::int64_t cy;
    std::memcpy(&cy, r.data() + 8, 8);
    EXPECT_EQ(cy, -10000);

    // The OLE VARIANT's own first 16 bytes line up with ours.
    Variant v(7);
    VARIANT ole;
    std::memcpy(&ole, static_cast<const void*>(&v), sizeof v);
    EXPECT_EQ(ole.vt, VT_I4);
    EXPECT_EQ(ole.lVal, 7);
}

TEST(Variant, StringRecordIsNeverExposed) {
    EXPECT_THROW(Variant("x").Record(), fw::EVariantError);
}

TEST(Variant, StringKindCopiesAndMovesItsText) {
    Variant a(std::string(100, 'q'));
    Variant b(a);
    EXPECT_EQ(b.AsString(), std::string(100, 'q'));
    a = Variant("changed");
    EXPECT_EQ(b.AsString(), std::string(100, 'q')) << "a copy shares no text with its source";

    Variant c(std::move(a));
    EXPECT_EQ(c.AsString(), "changed");
    EXPECT_EQ(a.VarType(), fw::varEmpty);

    c = b; // string over string
    EXPECT_EQ(c.AsString(), std::string(100, 'q'));
    c = c;
    EXPECT_EQ(c.AsString(), std::string(100, 'q'));
    c = Variant(3); // string replaced by a number
    EXPECT_EQ(c.AsInteger(), 3);
    b = std::move(c);
    EXPECT_EQ(b.VarType(), fw::varInteger);
}

TEST(Variant, FromRecordTakesOnlyValueKinds) {
    fw::TVarRecord r = Variant(-3.25).Record();
    std::optional<Variant> v = Variant::FromRecord(r);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->VarType(), fw::varDouble);
    EXPECT_EQ(v->AsDouble(), -3.25);

    for (std::uint16_t kind : {std::uint16_t(fw::varString), std::uint16_t(8) /* OLE string */,
                               std::uint16_t(9) /* interface */, std::uint16_t(0x4003) /* by ref */,
                               std::uint16_t(0x2011) /* array */, std::uint16_t(0xFFFF)}) {
        fw::TVarRecord raw{};
        raw[0] = static_cast<std::uint8_t>(kind & 0xFF);
        raw[1] = static_cast<std::uint8_t>(kind >> 8);
        std::memset(raw.data() + 8, 0x41, 8);
        EXPECT_FALSE(Variant::FromRecord(raw).has_value()) << "kind " << kind;
    }
}

TEST(Variant, ConversionsFollowOleRules) {
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_EQ(Variant(false).AsInteger(), 0);
    EXPECT_TRUE(Variant(-1).AsBoolean());
    EXPECT_TRUE(Variant(3).AsBoolean());
    EXPECT_FALSE(Variant(0).AsBoolean());
    EXPECT_EQ(Variant(short(-300)).AsInteger(), -300);
    EXPECT_EQ(Variant("  42").AsInteger(), 42);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2) << "OLE rounds halves to even";
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant(7).AsString(), "7");
    EXPECT_EQ(Variant(1.25).AsString(), "1.25");
    EXPECT_EQ(Variant("1.5").AsDouble(), 1.5);
    EXPECT_EQ(Variant::FromCurrency(25000).AsDouble(), 2.5);
    EXPECT_EQ(Variant().AsInteger(), 0) << "empty converts to zero";
    EXPECT_EQ(Variant().AsString(), "");
    EXPECT_FALSE(Variant().AsBoolean()) << "a setting stored with an odd type reads as false";
    EXPECT_EQ(Variant("").AsString(), "");
}

TEST(Variant, FailedConversionsRaise) {
    auto message = [](auto convert) -> std::string {
        try {
            convert();
        } catch (const fw::EVariantError& e) {
            return e.Message();
        }
        return "no error";
    };
    EXPECT_EQ(message([] { Variant("abc").AsInteger(); }), "Invalid variant type conversion");
    EXPECT_EQ(message([] { Variant::Null().AsInteger(); }), "Invalid variant type conversion");
    EXPECT_EQ(message([] { Variant::Null().AsString(); }), "Invalid variant type conversion");
    EXPECT_EQ(message([] { Variant("maybe").AsBoolean(); }), "Invalid variant type conversion");
    EXPECT_EQ(message([] { Variant(1e12).AsInteger(); }), "Invalid variant type conversion");
}
