// The table of bad inputs (tests/data/faults/bad-inputs.tsv) run row by row
// against the four file commands under Wine: each row either goes through
// whole or is refused with its message, losing nothing and leaving nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "carrier/carrier_win.h"
#include "carrier/trailer.h"
#include "cipher/cipher_win.h"
#include "cipher/cipherfile.h"
#include "shell/shell_win.h"
#include "tests/carrier/memory_carrier.h"
#include "tests/cipher/vectors.h"
#include "tests/support/drive_win.h"
#include "tests/faults/holder_win.h"
#include "tests/support/testing_win.h"

struct Row {
    int line; // the row's number in the table, comments and empty lines not counted
    std::string command, input, text;
    long long number;
    bool done;
    std::string message;
};

// "\xNN" is a byte, "-" is empty.
static std::string Unescape(const std::string& cell)
{
    if (cell == "-")
        return "";
    std::string out;
    for (size_t k = 0; k < cell.size(); k++) {
        if (cell[k] == '\\' && k + 3 < cell.size() && cell[k + 1] == 'x') {
            out += (char)strtol(cell.substr(k + 2, 2).c_str(), nullptr, 16);
            k += 3;
        } else {
            out += cell[k];
        }
    }
    return out;
}

static std::vector<Row> LoadTable()
{
    std::vector<Row> rows;
    int number = 0;
    for (const std::vector<std::string>& cells : ReadTable(TestDataPath("faults/bad-inputs.tsv"))) {
        number++;
        EXPECT_EQ(6u, cells.size()) << "row " << number;
        if (cells.size() == 6)
            rows.push_back({number, cells[0], cells[1], Unescape(cells[2]),
                            strtoll(cells[3].c_str(), nullptr, 10), cells[4] == "done",
                            Unescape(cells[5])});
    }
    return rows;
}

class BadInputs : public CommandTest {
protected:
    // Runs one row; the checks common to all rows follow in the test.
    void RunRow(const Row& row);

    // Records the file's bytes: it must be the same after the row.
    void Keep(const std::string& path, const std::string& bytes)
    {
        EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
        kept.emplace_back(path, bytes);
    }
    // A path of exactly `length` characters in a long-named folder under the
    // scratch folder (made when the path can exist).
    std::string PathOfLength(long long length)
    {
        std::string folder = Path(std::string(120, 'd'));
        CreateDirectoryA(folder.c_str(), nullptr);
        long long nameLength = length - (long long)folder.size() - 1;
        EXPECT_GT(nameLength, 8);
        EXPECT_LT(nameLength, 256);
        return folder + "\\" + std::string((size_t)nameLength - 4, 'f') + ".DAT";
    }
    std::string OutputNameOf(const std::string& path)
    {
        char output[PATH_BUFFER_SIZE];
        EXPECT_EQ(OUTPUT_NAME_OK, MakeOutputName(path.c_str(), output, sizeof output));
        return output;
    }
    // The role a missing-folder, in-use or staging row names: its first word.
    static std::string RoleOf(const Row& row) { return row.text.substr(0, row.text.find(' ')); }
    // The path of the file of role `role`: in a folder that does not exist,
    // or named as the row says (a staging row's second word).
    std::string RolePath(const Row& row, const char* role, const char* name)
    {
        if (RoleOf(row) == role && row.input == "missing-folder")
            return Path(std::string("nosuchfolder\\") + name);
        if (RoleOf(row) == role && row.input == "staging")
            return Path(row.text.substr(row.text.find(' ') + 1));
        return Path(name);
    }

    std::vector<std::pair<std::string, std::string>> kept;
    // The output a refused row must not leave (or leave empty after a wrong key).
    std::string output;
    // The file another program holds during the run, if any.
    std::string held;
    // Whether the run asked for its output (an extraction refuses a file
    // that cannot hold a trailer before it asks).
    bool outputAsked = true;
    std::vector<RecordedMessage> messages;
};

static const std::string kPayload = PseudoRandomBytes(8, 5);

void BadInputs::RunRow(const Row& row)
{
    const std::string cipher = EncryptWithLibrary("Sig one", "Sig 2", 3, kPayload);
    const std::string own = PseudoRandomBytes(700, 6);
    const std::string hidden = PseudoRandomBytes(900, 7);
    std::string expectOutput;
    std::string expectCarrier;
    std::string carrierPath;
    // Replacing an existing output is confirmed; the question is checked below.
    MessageRecorder recorder(IDYES);
    // An in-use row names the file another program holds; withHolder runs
    // the command while it is held.
    auto hold = [&](const std::string& path) {
        if (row.input == "in-use" && held.empty())
            held = path;
    };
    auto withHolder = [&](const std::function<void()>& run) {
        if (held.empty()) {
            run();
            return;
        }
        FileHolder holder(held);
        ASSERT_TRUE(holder.Holding()) << held;
        run();
    };

    if (row.command == "encrypt" || row.command == "decrypt") {
        bool encrypt = row.command == "encrypt";
        std::string path = Path(encrypt ? "S.DAT" : "Szel.DAT");
        if (row.input == "path-length")
            path = PathOfLength(row.number);
        else if (row.input == "name")
            path = Path(row.text);
        else if (RoleOf(row) == "source")
            path = RolePath(row, "source", "S.DAT");
        std::string bytes = encrypt ? kPayload : cipher;
        if (row.input == "cipher-cut")
            bytes = cipher.substr(0, (size_t)row.number);
        if (path.size() < PATH_BUFFER_SIZE && row.input != "missing-folder")
            Keep(path, bytes);
        if (path.size() + 3 < PATH_BUFFER_SIZE)
            output = OutputNameOf(path);
        hold(path);
        if (encrypt) {
            expectOutput = cipher;
            withHolder([&] { RunEncrypt(path.c_str()); });
        } else {
            expectOutput = row.input == "cipher-cut" && row.number >= 33
                               ? kPayload.substr(0, (size_t)row.number - 33)
                               : kPayload;
            withHolder([&] { RunDecrypt("Sig one", "Sig 2", path.c_str()); });
        }
    } else if (row.command == "embed") {
        std::string hiddenPath = RolePath(row, "hidden", "h.bin");
        if (row.input == "path-length")
            hiddenPath = PathOfLength(row.number);
        else if (row.input == "name")
            hiddenPath = Path(row.text);
        carrierPath = RolePath(row, "carrier", "c.png");
        std::string hiddenBytes = hidden;
        if (row.input == "hidden-size") {
            hiddenPath = Path("big.bin");
            ASSERT_TRUE(MakeSparseFile(hiddenPath, row.number));
        } else if (hiddenPath.size() < PATH_BUFFER_SIZE &&
                   !(row.input == "missing-folder" && row.text == "hidden")) {
            Keep(hiddenPath, hidden);
        }
        if (row.input != "missing-folder" || row.text != "carrier")
            Keep(carrierPath, own);
        if (row.input != "hidden-size")
            expectCarrier = AppendTrailer(own, "Sig one", hiddenBytes, hiddenPath);
        hold(row.text == "carrier" ? carrierPath : hiddenPath);
        withHolder([&] { RunEmbed(hiddenPath.c_str(), carrierPath.c_str()); });
        if (row.input == "hidden-size" && row.done) {
            // Only the ends are read: the middle is the sparse file's zeros.
            unsigned char tail[TRAILER_TAIL_SIZE];
            ASSERT_EQ(TRAILER_OK, TrailerBuildTail(row.number, hiddenPath.c_str(), tail));
            EXPECT_EQ((long long)own.size() + row.number + 300, FileSizeOf(carrierPath));
            EXPECT_TRUE(ReadBytesAt(carrierPath, 0, (DWORD)own.size() + 32) ==
                        AppendTrailer(own, "Sig one", "", "").substr(0, own.size() + 32));
            EXPECT_TRUE(ReadBytesAt(carrierPath, (long long)own.size() + 32 + row.number,
                               TRAILER_TAIL_SIZE) == std::string((char*)tail, sizeof tail));
            kept.clear();
            DeleteFileA(carrierPath.c_str());
        } else if (row.input == "name" && row.done) {
            // The stored name brings the hidden file back where it was.
            DeleteFileA(hiddenPath.c_str());
            RunExtract("Sig one", carrierPath.c_str(), hiddenPath.c_str());
            EXPECT_TRUE(ReadFileBytes(hiddenPath) == hidden);
            expectCarrier = own;
        }
    } else {
        carrierPath = RolePath(row, "carrier", "c.png");
        output = RolePath(row, "output", "o.bin");
        std::string carrier = AppendTrailer(own, "Sig one", hidden, "C:\\h.bin");
        expectOutput = hidden;
        expectCarrier = own;
        if (row.input == "carrier-bytes") {
            carrier = PseudoRandomBytes((size_t)row.number, 8);
        } else if (row.input == "size-field") {
            std::string hiddenBytes = PseudoRandomBytes((size_t)row.number, 9);
            carrier = AppendTrailer("", "Sig one", hiddenBytes, "C:\\h.bin");
            std::string field = row.text;
            field.resize(TRAILER_SIZE_FIELD_SIZE, '\0');
            carrier.replace(carrier.size() - TRAILER_TAIL_SIZE, field.size(), field);
            expectOutput = hiddenBytes;
            expectCarrier = "";
        } else if (row.input == "path-length") {
            output = PathOfLength(row.number);
        }
        if (row.input == "hidden-size") {
            // A trailer around a sparse hole: head, N zero bytes, tail.
            std::string head = AppendTrailer("", "Sig one", "", "").substr(0, 32);
            unsigned char tail[TRAILER_TAIL_SIZE];
            ASSERT_EQ(TRAILER_OK, TrailerBuildTail(row.number, "C:\\big", tail));
            ASSERT_TRUE(MakeSparseFile(carrierPath, 32 + row.number));
            ASSERT_TRUE(WriteBytesAt(carrierPath, 0, head));
            ASSERT_TRUE(
                WriteBytesAt(carrierPath, 32 + row.number, std::string((char*)tail, sizeof tail)));
            RunExtract("Sig one", carrierPath.c_str(), output.c_str());
            EXPECT_EQ(row.number, FileSizeOf(output));
            EXPECT_TRUE(ReadBytesAt(output, row.number - 4096, 8192) == std::string(4096, '\0'));
            EXPECT_EQ(0, FileSizeOf(carrierPath));
            DeleteFileA(output.c_str());
            output.clear();
            carrierPath.clear();
        } else {
            if (row.input != "missing-folder" || row.text != "carrier")
                Keep(carrierPath, carrier);
            if (row.input == "in-use" && row.text == "output")
                Keep(output, "held by another program");
            hold(row.text == "output" ? output : carrierPath);
            bool existed = FileIsThere(output);
            withHolder([&] {
                outputAsked =
                    RunExtract("Sig one", carrierPath.c_str(), output.c_str()).titles.size() > 1;
            });
            // An output that is there already is replaced only after a question.
            bool asked = !recorder.messages.empty() &&
                         recorder.messages[0].caption == "Output file name";
            EXPECT_EQ(existed && outputAsked, asked);
            if (asked)
                recorder.messages.erase(recorder.messages.begin());
        }
    }
    messages = recorder.messages;

    // The user's files are as they were; a run that went through changed
    // only its carrier.
    for (auto& k : kept) {
        if (!row.done || k.first != carrierPath) {
            EXPECT_TRUE(ReadFileBytes(k.first) == k.second) << k.first << " changed";
        }
    }
    if (row.done) {
        if (!output.empty()) {
            EXPECT_TRUE(ReadFileBytes(output) == expectOutput) << output;
        }
        if (!carrierPath.empty()) {
            EXPECT_TRUE(ReadFileBytes(carrierPath) == expectCarrier) << carrierPath;
        }
        return;
    }
    bool outputKept = false;
    for (auto& k : kept)
        outputKept |= k.first == output;
    if (!output.empty() && !outputKept) {
        if (row.message == kWrongKey && outputAsked) {
            // Every wrong key leaves the output it opened, empty.
            EXPECT_TRUE(FileIsThere(output)) << output;
            EXPECT_EQ("", ReadFileBytes(output));
        } else {
            EXPECT_FALSE(FileIsThere(output)) << output;
        }
    }
}

TEST_F(BadInputs, EveryRowOfTheTable)
{
    std::vector<Row> rows = LoadTable();
    ASSERT_GT(rows.size(), 300u);
    int refused = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "bad-inputs.tsv row " << row.line << ": "
                                        << row.command << " " << row.input << " \"" << row.text
                                        << "\" " << row.number);
        kept.clear();
        output.clear();
        held.clear();
        outputAsked = true;
        CloseCommandWindows();
        RunRow(row);
        if (row.done) {
            EXPECT_TRUE(messages.empty()) << messages[0].text;
        } else {
            refused++;
            ASSERT_EQ(1u, messages.size());
            EXPECT_EQ(row.message, messages[0].text);
            EXPECT_NE(0u, messages[0].type & MB_ICONMASK);
        }
        for (const char* name : kTemporaryFiles) {
            bool usersOwn = false;
            for (auto& k : kept)
                usersOwn |= lstrcmpiA(k.first.c_str(), Path(name).c_str()) == 0;
            EXPECT_TRUE(usersOwn || !FileIsThere(Path(name))) << name << " left behind";
        }
        // Each row starts from an empty folder.
        for (auto& k : kept)
            DeleteFileA(k.first.c_str());
        if (!output.empty())
            DeleteFileA(output.c_str());
    }
    printf("[ faults   ] %u bad inputs, %d refused\n", (unsigned)rows.size(), refused);
}
