#include "Extent.h"
#include "PointerArray.h"
#include "Rectangle.h"
#include "ResourceNameOrId.h"
#include "StringKeyedMap.h"
#include "ValueArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;

namespace {

void *Item(intptr_t n)
{
    return reinterpret_cast<void *>(n);
}

std::vector<intptr_t> Contents(const CPointerArray &array)
{
    std::vector<intptr_t> items;
    for (int i = 0; i < array.GetCount(); ++i)
        items.push_back(reinterpret_cast<intptr_t>(array[i]));
    return items;
}

std::vector<std::wstring> IterationOrder(const CStringKeyedMap &map)
{
    std::vector<std::wstring> keys;
    for (int i = 0; const wchar_t *key = map.GetKeyAt(i); ++i)
        keys.push_back(key);
    return keys;
}

} // namespace

TEST(PointerArray, GrowsTo11OnFirstAddAndDoublesWhenCountReachesCapacity)
{
    CPointerArray array;
    EXPECT_EQ(0, array.GetCapacity());
    std::vector<int> capacityAfterAdd;
    for (int i = 1; i <= 23; ++i) {
        ASSERT_TRUE(array.Add(Item(i)));
        capacityAfterAdd.push_back(array.GetCapacity());
    }
    EXPECT_EQ(11, capacityAfterAdd[0]);
    EXPECT_EQ(11, capacityAfterAdd[9]);
    EXPECT_EQ(22, capacityAfterAdd[10]);
    EXPECT_EQ(44, capacityAfterAdd[21]);
    EXPECT_EQ(23, array.GetCount());

    CPointerArray preallocated(5);
    EXPECT_EQ(5, preallocated.GetCapacity());
    EXPECT_EQ(0, preallocated.GetCount());
}

TEST(PointerArray, InsertsRemovesAndFindsByTheIndexRules)
{
    CPointerArray array;
    for (int i = 1; i <= 4; ++i)
        array.Add(Item(i));
    EXPECT_TRUE(array.InsertAt(0, Item(10)));
    EXPECT_TRUE(array.InsertAt(5, Item(11)));
    EXPECT_TRUE(array.InsertAt(2, Item(12)));
    EXPECT_FALSE(array.InsertAt(-1, Item(13)));
    EXPECT_FALSE(array.InsertAt(8, Item(13)));
    EXPECT_EQ((std::vector<intptr_t>{10, 1, 12, 2, 3, 4, 11}), Contents(array));

    struct RemoveCase
    {
        int index;
        int count;
        bool accepted;
    } refused[] = {{-1, 1, false}, {0, 0, false}, {5, 3, false}, {7, 1, false}};
    for (const RemoveCase &c : refused)
        EXPECT_EQ(c.accepted, array.Remove(c.index, c.count)) << c.index << "," << c.count;
    EXPECT_TRUE(array.Remove(1, 2));
    EXPECT_EQ((std::vector<intptr_t>{10, 2, 3, 4, 11}), Contents(array));
    EXPECT_EQ(11, array.GetCapacity()); // storage is not shrunk

    EXPECT_EQ(3, array.Find(Item(4)));
    EXPECT_EQ(-1, array.Find(Item(99)));
    EXPECT_EQ(nullptr, array.GetAt(-1));
    EXPECT_EQ(nullptr, array.GetAt(5));
    EXPECT_EQ(Item(11), array.GetAt(4));
}

TEST(PointerArray, CopiesResizesAndEmpties)
{
    CPointerArray array;
    for (int i = 1; i <= 3; ++i)
        array.Add(Item(i));
    CPointerArray copy(array);
    EXPECT_EQ(Contents(array), Contents(copy));
    EXPECT_EQ(11, copy.GetCapacity());

    copy.Resize(4);
    EXPECT_EQ(4, copy.GetCount());
    EXPECT_EQ((std::vector<intptr_t>{0, 0, 0, 0}), Contents(copy));
    copy.Empty();
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(0, copy.GetCapacity());
    EXPECT_TRUE(copy.Add(Item(7)));
}

TEST(ValueArray, CopiesElementsInAndRemovesByTheSameRules)
{
    struct Pair
    {
        int a;
        double b;
    };
    CValueArray array(sizeof(Pair));
    for (int i = 0; i < 12; ++i) {
        Pair p = {i, i * 0.5};
        ASSERT_TRUE(array.Add(&p));
    }
    EXPECT_EQ(22, array.GetCapacity());
    EXPECT_FALSE(array.Remove(11, 2));
    EXPECT_TRUE(array.Remove(0, 10));
    ASSERT_EQ(2, array.GetCount());
    EXPECT_EQ(10, static_cast<Pair *>(array.GetAt(0))->a);
    EXPECT_DOUBLE_EQ(5.5, static_cast<Pair *>(array.GetAt(1))->b);
}

TEST(StringKeyedMap, HashesFromTheLastCharacterTimes33)
{
    struct Case
    {
        const wchar_t *key;
        unsigned int hash;
    } cases[] = {
        {L"", 0u},
        {L"a", 97u},
        {L"ab", 98u * 33u + 97u},
        {L"abc", (99u * 33u + 98u) * 33u + 97u},
        // Wraps around at 32 bits.
        {L"zzzzzzzzzz",
         [] {
             unsigned int h = 0;
             for (int i = 0; i < 10; ++i)
                 h = h * 33u + 122u;
             return h;
         }()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.hash, CStringKeyedMap::HashKey(c.key)) << c.key;
}

TEST(StringKeyedMap, HasAtLeast16BucketsAndKeepsEntriesByExactKey)
{
    CStringKeyedMap small(5);
    EXPECT_EQ(16, small.GetBucketCount());
    EXPECT_EQ(83, CStringKeyedMap().GetBucketCount());

    CStringKeyedMap map(16);
    int one = 1, two = 2, three = 3;
    EXPECT_TRUE(map.Insert(L"title", &one));
    EXPECT_FALSE(map.Insert(L"title", &two));
    EXPECT_EQ(nullptr, map.Set(L"close", &two));
    EXPECT_EQ(&one, map.Set(L"title", &three));
    EXPECT_EQ(2, map.GetSize());
    EXPECT_EQ(&three, map.Find(L"title"));
    EXPECT_EQ(nullptr, map.Find(L"Title"));
    EXPECT_TRUE(map.Remove(L"title"));
    EXPECT_FALSE(map.Remove(L"title"));
    EXPECT_EQ(1, map.GetSize());
    EXPECT_EQ(nullptr, map.GetKeyAt(1));
}

TEST(StringKeyedMap, IteratesBucketsFromLastToFirstAndMovesFoundKeysToTheFront)
{
    // With 16 buckets, "a" (97), "q" (113) and "A" (65) share bucket 1; "b" has bucket 2.
    CStringKeyedMap map(16);
    int value = 0;
    for (const wchar_t *key : {L"a", L"q", L"A", L"b"})
        ASSERT_TRUE(map.Insert(key, &value));
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"A", L"q", L"a"}), IterationOrder(map));

    map.Find(L"a", false);
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"A", L"q", L"a"}), IterationOrder(map));
    map.Find(L"a", true);
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"a", L"A", L"q"}), IterationOrder(map));
    map.Find(L"q");
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"q", L"a", L"A"}), IterationOrder(map));

    EXPECT_TRUE(map.Remove(L"a"));
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"q", L"A"}), IterationOrder(map));
}

TEST(StringKeyedMap, WithoutBucketsStoresNothing)
{
    CStringKeyedMap map(16);
    int value = 0, other = 1;
    map.Insert(L"x", &value);
    map.Resize(0);
    EXPECT_EQ(0, map.GetSize());
    EXPECT_EQ(nullptr, map.Find(L"x"));
    EXPECT_FALSE(map.Insert(L"x", &value));
    EXPECT_EQ(&other, map.Set(L"x", &other));
    EXPECT_EQ(0, map.GetSize());

    map.Resize(20);
    EXPECT_TRUE(map.Insert(L"x", &value));
    map.RemoveAll();
    EXPECT_EQ(20, map.GetBucketCount());
    EXPECT_EQ(0, map.GetSize());
}

TEST(Geometry, RectanglesMoveAndUniteByTheirEdges)
{
    CRectangle r(0, 0, 0, 0);
    r.Union(CRectangle(5, 5, 10, 10));
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(10, r.right);
    EXPECT_EQ(10, r.bottom);

    CRectangle moved(10, 20, 40, 60);
    moved.Offset(-5, 5);
    EXPECT_EQ(5, moved.left);
    EXPECT_EQ(25, moved.top);
    moved.MoveToOrigin();
    EXPECT_EQ(0, moved.left);
    EXPECT_EQ(0, moved.top);
    EXPECT_EQ(30, moved.GetWidth());
    EXPECT_EQ(40, moved.GetHeight());

    RECT native = {1, 2, 3, 4};
    CRectangle fromNative(native);
    EXPECT_EQ(sizeof(RECT), sizeof(CRectangle));
    EXPECT_EQ(4, fromNative.bottom);
    EXPECT_EQ(sizeof(SIZE), sizeof(CExtent));
    EXPECT_EQ(7, CExtent(7, 8).cx);
}

TEST(Geometry, ResourceReferencesKeepNamesOrLow16BitNumbers)
{
    ResourceNameOrId number(0x10084u);
    EXPECT_TRUE(number.IsNumber());
    EXPECT_EQ(MAKEINTRESOURCEW(132), number.GetValue());
    ResourceNameOrId name(L"ZIPRES");
    EXPECT_FALSE(name.IsNumber());
    EXPECT_STREQ(L"ZIPRES", name);
    EXPECT_EQ(sizeof(void *), sizeof(ResourceNameOrId));
}
