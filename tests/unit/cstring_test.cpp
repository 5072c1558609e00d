#include "framework/cstring.h"

#include <gtest/gtest.h>

#include <string>

TEST(CString, FormatsAnyLength) {
    CString s;
    s.Format("%s%s", "Press button", "\nwithin 15 sec!!");
    EXPECT_STREQ(s, "Press button\nwithin 15 sec!!");
    const std::string long_text(5000, 'x');
    s.Format("<%s>", long_text.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, ComparesExactlyOrFoldingAsciiOnly) {
    const CString mode("720i/720p-C");
    EXPECT_TRUE(mode == "720i/720p-C");
    EXPECT_TRUE(mode != "720I/720P-C");
    EXPECT_EQ(CString("Accept Now ?").CompareNoCase("ACCEPT now ?"), 0);
    EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
    EXPECT_GT(CString("abc").CompareNoCase("AB"), 0);
    // Bytes above ASCII are compared as they are, never folded.
    EXPECT_NE(CString("\xC4").CompareNoCase("\xE4"), 0);
    EXPECT_EQ(CString(nullptr).Compare(""), 0);
}

TEST(CString, BufferRoundTrip) {
    CString s("abc");
    char* buffer = s.GetBuffer(10);
    buffer[0] = 'z';
    buffer[1] = '\0';
    s.ReleaseBuffer();
    EXPECT_STREQ(s, "z");
}
