#include <gtest/gtest.h>

#include "liba/log.h"
#include "liba/text.h"
#include "skinner/draw/font.h"
#include "skinner/draw/font_rep.h"

namespace skinner {
namespace {

// Collects what the log receives while it lives.
class LogCapture : public liba::LogStream {
public:
    LogCapture()
    {
        current() = this;
        liba::set_log_stream_chooser([]() -> liba::LogStream& { return *current(); });
    }
    ~LogCapture() override
    {
        liba::set_log_stream_chooser([]() -> liba::LogStream& { return liba::empty_log_stream(); });
        current() = nullptr;
    }
    void write(const char16_t* first, const char16_t* last) override { text.append(first, last); }
    void flush() override {}

    std::u16string text;

private:
    static LogCapture*& current()
    {
        static LogCapture* capture = nullptr;
        return capture;
    }
};

TEST(DrawFontRep, SpecificationBecomesAPlatformRequest)
{
    struct Case {
        std::u16string specification;
        int scale;
        int height;
        int weight;
        bool italic;
        bool underline;
        std::u16string face;
    };
    const Case cases[] = {
        {u"14 1 0 0 Tahoma", 2, -37, 700, false, false, u"Tahoma"}, // 28 * 96 / 72 = 37.33
        {u"14 1 0 0 Tahoma", 1, -18, 700, false, false, u"Tahoma"},
        {u"10 0 1 1 DejaVu Sans Mono", 3, -40, 400, true, true, u"DejaVu Sans Mono"},
        {u"", 1, -16, 400, false, false, u""},                // height 12 by default
        {u"20", 1, -26, 400, false, false, u""},              // the rest missing
        {u"9 x 1 1 Face", 1, -12, 400, false, false, u""},   // reading stops at the bad field
        {u"  8\t2  0 0    Wide Face Name  ", 1, -10, 700, false, false, u"Wide Face Name  "},
        {u"12 0 0 0 ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 1, -16, 400, false, false,
            u"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"}, // 31 characters at most
    };
    for (const Case& c : cases) {
        const FontRep rep(c.specification, c.scale);
        const platform::FontSpec& request = rep.request();
        const std::string label = liba::to_narrow(c.specification) + " @" + std::to_string(c.scale);
        EXPECT_EQ(request.height, c.height) << label;
        EXPECT_EQ(request.weight, c.weight) << label;
        EXPECT_EQ(request.italic, c.italic) << label;
        EXPECT_EQ(request.underline, c.underline) << label;
        EXPECT_EQ(request.face, c.face) << label;
        EXPECT_NE(rep.handle(), nullptr) << label;
    }
}

TEST(DrawFontRep, CreationIsLogged)
{
    LogCapture log;
    const FontRep rep(u"14 1 0 0 Tahoma", 2);
    EXPECT_EQ(log.text,
        u"Creating font: {14 1 0 0 Tahoma}\n"
        u"height=14 name.scale=2\n"
        u"dpiy=96 log_font.lfHeight=-37\n");
    ASSERT_NE(rep.handle(), nullptr);
    EXPECT_EQ(rep.handle()->character_height(), 37);
}

TEST(DrawFontCache, EntriesAreSharedBySpecificationAndScale)
{
    const size_t before = Font::cached_count();
    {
        Font a(2), b(2), c(1);
        a.set_specification(u"14 1 0 0 Tahoma");
        b.set_specification(u"14 1 0 0 Tahoma");
        c.set_specification(u"14 1 0 0 Tahoma");
        EXPECT_EQ(a.rep(), b.rep());
        EXPECT_NE(a.rep(), c.rep());
        EXPECT_EQ(Font::cached_count(), before + 2);

        Font copy = a;
        b.set_specification(u"11 0 0 0 Tahoma");
        EXPECT_EQ(copy.rep(), a.rep());
        EXPECT_EQ(Font::cached_count(), before + 3);
        c = a;
        EXPECT_EQ(Font::cached_count(), before + 2); // the scale-1 entry went with its last font
        EXPECT_EQ(c.scale(), 2);
    }
    EXPECT_EQ(Font::cached_count(), before);
}

TEST(DrawFontCache, EmptyFontHasNoHandle)
{
    const Font empty(2);
    EXPECT_EQ(empty.handle(), nullptr);
    EXPECT_EQ(empty.rep(), nullptr);
}

} // namespace
} // namespace skinner
