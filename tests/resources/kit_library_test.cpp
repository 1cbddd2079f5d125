// The kit library shipped with the program, as the kit scanner and the bricks
// read it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <tuple>

#include "tests/resources/resource_support.h"

#ifndef DIZADO_BASIC_KIT
#error "DIZADO_BASIC_KIT names the built kit library"
#endif

namespace {

using namespace resource_test;

class BasicKit : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibraryA(DIZADO_BASIC_KIT);
        ASSERT_NE(m_module, nullptr) << DIZADO_BASIC_KIT;
        for (unsigned n = 100;; ++n) {
            const std::string text = String(m_module, n);
            if (text.empty())
                break;
            m_classes.push_back(std::atoi(text.c_str()));
        }
    }
    void TearDown() override
    {
        if (m_module)
            FreeLibrary(m_module);
    }

    // The box of orientation `o` of a class, from its orientation record.
    Box OrientationBox(int classId, int o)
    {
        const Bytes record = Resource(m_module, static_cast<unsigned>(classId), "BRICKCLASS");
        const Bytes orientation = Resource(m_module, Get16(record, 14 + 2 * o), "BRICKORIENTATION");
        return Box{GetShort(orientation, 6), GetShort(orientation, 8), GetShort(orientation, 10)};
    }

    HMODULE m_module = nullptr;
    std::vector<int> m_classes;
};

TEST_F(BasicKit, ListsItsClassesFromString100)
{
    EXPECT_GE(m_classes.size(), 24u);
    std::set<int> seen;
    for (int id : m_classes) {
        EXPECT_GT(id, 0);
        EXPECT_NE(id, 1030) << "the built-in class";
        EXPECT_TRUE(id < 9000 || id >= 10000) << id << " would be hidden from the scan";
        EXPECT_TRUE(seen.insert(id).second) << id << " listed twice";
    }
}

TEST_F(BasicKit, ClassRecordsBelongToTheKit)
{
    for (int id : m_classes) {
        SCOPED_TRACE(id);
        const Bytes record = Resource(m_module, static_cast<unsigned>(id), "BRICKCLASS");
        ASSERT_GE(record.size(), 14u);
        EXPECT_EQ(std::string(record.begin(), record.begin() + 4), "BRCK");
        EXPECT_EQ(Get16(record, 4), 0u);
        EXPECT_NE(Get16(record, 6) & 0xFFF, 0u) << "some colour allowed";
        EXPECT_EQ(std::string(record.begin() + 8, record.begin() + 12), "BASC");
        const uint32_t poses = Get16(record, 12);
        EXPECT_GE(poses, 1u);
        EXPECT_EQ(record.size(), 14 + 8 * poses);
    }
}

TEST_F(BasicKit, OrientationsAreQuarterTurnsOfOneBox)
{
    for (int id : m_classes) {
        SCOPED_TRACE(id);
        const Bytes record = Resource(m_module, static_cast<unsigned>(id), "BRICKCLASS");
        ASSERT_GE(record.size(), 22u);
        for (int o = 0; o < 4; ++o) {
            SCOPED_TRACE(o);
            const Bytes orientation = Resource(m_module, Get16(record, 14 + 2 * o), "BRICKORIENTATION");
            ASSERT_EQ(orientation.size(), 44u);
            for (size_t i = 0; i < 3; ++i)
                EXPECT_EQ(GetShort(orientation, 2 * i), 0) << "the box starts at the brick's position";
            const Box box = OrientationBox(id, o);
            EXPECT_GT(box.cx, 0);
            EXPECT_GT(box.cy, 0);
            EXPECT_GT(box.cz, 0);
            const Box next = OrientationBox(id, (o + 1) % 4);
            EXPECT_EQ(next.cx, box.cy);
            EXPECT_EQ(next.cy, box.cx);
            EXPECT_EQ(next.cz, box.cz);
        }
    }
}

TEST_F(BasicKit, PicturesAndMasksFitTheirBoxes)
{
    for (int id : m_classes) {
        SCOPED_TRACE(id);
        const Bytes record = Resource(m_module, static_cast<unsigned>(id), "BRICKCLASS");
        ASSERT_GE(record.size(), 22u);
        for (int o = 0; o < 4; ++o) {
            SCOPED_TRACE(o);
            const Bytes orientation = Resource(m_module, Get16(record, 14 + 2 * o), "BRICKORIENTATION");
            ASSERT_EQ(orientation.size(), 44u);
            const Box box = OrientationBox(id, o);
            const std::optional<Dib> dib = ReadDib(Resource(m_module, Get16(orientation, 12), "BRICKIMAGE"));
            ASSERT_TRUE(dib);
            // The bounding rectangle of the projected box.
            EXPECT_EQ(dib->width, 10 * (box.cx + box.cy));
            EXPECT_EQ(dib->height, 5 * (box.cx + box.cy) + 6 * box.cz);
            const Bytes mask = Resource(m_module, Get16(orientation, 14), "REGION");
            EXPECT_EQ(mask, PolygonBytes(box));
            ExpectShadesInsideMask(*dib, mask);
            ExpectLitFromTheUpperLeft(*dib, mask, box);
        }
    }
}

TEST_F(BasicKit, EveryClassHasAPreviewForTheBrickList)
{
    for (int id : m_classes) {
        SCOPED_TRACE(id);
        const std::optional<Dib> dib = ReadDib(Resource(m_module, static_cast<unsigned>(id), "BRICKPREVIEW"));
        ASSERT_TRUE(dib);
        // The list is 64 pixels wide, and a preview's height is its row's.
        EXPECT_LE(dib->width, 64);
        EXPECT_GE(dib->height, 20);
        EXPECT_LE(dib->height, 64);
        int drawn = 0;
        for (int y = 0; y < dib->height; ++y)
            for (int x = 0; x < dib->width; ++x)
                drawn += dib->Pixel(x, y) != 255;
        EXPECT_GT(drawn, 50) << "a brick on white";
    }
}

TEST_F(BasicKit, HoldsTheUsualBricksAndPlates)
{
    // (length, width, height) of orientation 0, or of 1, as the child finds them.
    std::set<std::tuple<int, int, int>> shapes;
    for (int id : m_classes)
        for (int o = 0; o < 2; ++o) {
            const Box b = OrientationBox(id, o);
            shapes.insert({b.cx, b.cy, b.cz});
        }
    const int footprints[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {6, 1}, {8, 1},
                                 {2, 2}, {3, 2}, {4, 2}, {6, 2}, {8, 2}};
    for (int height : {1, 3})
        for (const auto& f : footprints) {
            SCOPED_TRACE(testing::Message() << f[0] << "x" << f[1] << "x" << height);
            EXPECT_EQ(shapes.count({f[0], f[1], height}), 1u);
        }
}

TEST_F(BasicKit, NamesItsKit)
{
    const Bytes label = Resource(m_module, "BASC", "KITNAMELABEL");
    ASSERT_FALSE(label.empty());
    EXPECT_EQ(label.back(), 0) << "NUL-terminated";
    const std::string name(label.begin(), label.end() - 1);
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name.find('\0'), std::string::npos);
}

}  // namespace
