// The carrier kind test over the first bytes of each kind that
// scripts/measure-carriers makes, with the edges of its two rules.
#include <gtest/gtest.h>

#include <string>

#include "carrier/carrierkind.h"
#include "tests/carrier/memory_carrier.h"
#include "tests/support/files.h"

static CarrierKind KindOf(const std::string& bytes)
{
    return CarrierKindOf((const unsigned char*)bytes.data(), bytes.size());
}

TEST(CarrierKind, EachMeasuredKindByItsFirstBytes)
{
    struct Case {
        const char* kind;
        std::string head;
        CarrierKind expected;
    };
    const std::string body = PseudoRandomBytes(3000, 5);
    const Case cases[] = {
        {"pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj", CARRIER_KIND_PDF},
        {"zip, docx, epub", std::string("PK\3\4\x14\0\0\0\x08\0", 10), CARRIER_KIND_ZIP},
        {"odt (stored mimetype)", std::string("PK\3\4\x0a\0\0\0\0\0mimetype", 18), CARRIER_KIND_ZIP},
        {"empty zip", std::string("PK\5\6", 4) + std::string(18, '\0'), CARRIER_KIND_ZIP},
        {"png", "\x89PNG\r\n\x1a\n", CARRIER_KIND_OTHER},
        {"jpeg", "\xff\xd8\xff\xe0", CARRIER_KIND_OTHER},
        {"gif", "GIF89a", CARRIER_KIND_OTHER},
        {"bmp", "BM6\x0c", CARRIER_KIND_OTHER},
        {"wav", std::string("RIFF\x24\x08\0\0WAVEfmt ", 16), CARRIER_KIND_OTHER},
        {"gzip", std::string("\x1f\x8b\x08\0", 4), CARRIER_KIND_OTHER},
        {"exe", std::string("MZ\x90\0\3\0", 6), CARRIER_KIND_OTHER},
        {"mp3", "ID3\4", CARRIER_KIND_OTHER},
        {"empty", "", CARRIER_KIND_OTHER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, KindOf(c.head)) << c.kind;
        EXPECT_EQ(c.expected, KindOf(c.head + body)) << c.kind << " with a body";
    }
    EXPECT_STREQ("PDF document", CarrierKindName(CARRIER_KIND_PDF));
    EXPECT_STREQ("ZIP archive or office document", CarrierKindName(CARRIER_KIND_ZIP));
    EXPECT_EQ(nullptr, CarrierKindName(CARRIER_KIND_OTHER));
}

TEST(CarrierKind, PdfHeaderCountsWithinTheFirstKilobyteOnly)
{
    const std::string header = "%PDF-";
    for (size_t at : {1u, 500u, 1019u, 1020u, 1024u}) {
        std::string bytes = std::string(at, ' ') + header + "1.7\n";
        CarrierKind expected = at + header.size() <= CARRIER_KIND_HEAD_SIZE ? CARRIER_KIND_PDF
                                                                           : CARRIER_KIND_OTHER;
        EXPECT_EQ(expected, KindOf(bytes)) << at;
        // The bytes the caller did not hand over are never looked at.
        EXPECT_EQ(CARRIER_KIND_OTHER, CarrierKindOf((const unsigned char*)bytes.data(), at + 4))
            << at;
    }
    EXPECT_EQ(CARRIER_KIND_OTHER, KindOf("%PDF"));
    EXPECT_EQ(CARRIER_KIND_OTHER, KindOf("%pdf-1.4"));
}

TEST(CarrierKind, ZipOnlyByItsFirstRecordNeverByItsEnd)
{
    const std::string localHeader("PK\3\4", 4), endRecord("PK\5\6", 4);
    // A picture whose hidden file is a ZIP archive ends in an end record.
    std::string picture = "\x89PNG\r\n\x1a\n" + PseudoRandomBytes(200, 6);
    EXPECT_EQ(CARRIER_KIND_OTHER,
              KindOf(AppendTrailer(picture, "Sig one", localHeader + std::string(60, 'z') +
                                                           endRecord + std::string(18, '\0'),
                                   "C:\\a.zip")));
    EXPECT_EQ(CARRIER_KIND_OTHER, KindOf(" " + localHeader));
    EXPECT_EQ(CARRIER_KIND_OTHER, KindOf("PK"));
    EXPECT_EQ(CARRIER_KIND_OTHER, KindOf(std::string("PK\1\2", 4)));
    EXPECT_EQ(CARRIER_KIND_OTHER, KindOf(std::string("PK\7\x08", 4)));
    EXPECT_EQ(CARRIER_KIND_ZIP, KindOf(localHeader));
    EXPECT_EQ(CARRIER_KIND_ZIP, KindOf(localHeader + "%PDF-1.4"));
}
