// The signature store against the registry: what save writes, what load
// rebuilds, and the first-use path when locations are missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "base/registry_win.h"
#include "credentials/credentials_win.h"
#include "credentials/fragments.h"
#include "tests/credentials/credentials_fixture_win.h"

using StoreTest = CredentialsTest;

// A save into a fresh store, then one of spaces only over it.
TEST_F(StoreTest, SaveWritesExactlySixValues)
{
    const struct {
        const char* s1;
        const char* s2;
        const char* fragments[FRAGMENT_COUNT];
    } saves[] = {
        {"ABCDEFG", "abcdefg", {"fCF", "eA", "BGa", "bd", "gD", "cE"}},
        {"       ", "       ", {"   ", "  ", "   ", "  ", "  ", "  "}},
    };
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT");
    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    for (const auto& save : saves) {
        SetSignatures(save.s1, save.s2);
        SignatureStoreSave();
        for (int f = 0; f < FRAGMENT_COUNT; f++) {
            StoredValue v = ReadFragment(f);
            EXPECT_TRUE(v.present) << save.s1 << " fragment " << f + 1;
            EXPECT_EQ((DWORD)REG_SZ, v.type) << save.s1 << " fragment " << f + 1;
            EXPECT_EQ(std::string(save.fragments[f]) + '\0', v.bytes) << save.s1 << " fragment " << f + 1;
        }
        for (int k = 0; k < STORE_LOCATION_COUNT; k++)
            EXPECT_EQ(2u, ValueCount(kStoreRoots[k], kStorePaths[k])) << kStorePaths[k];
    }
    EXPECT_TRUE(recorder->messages.empty());
}

TEST_F(StoreTest, SaveKeepsOtherControlPanelValues)
{
    WriteStringValue(HKEY_CURRENT_USER, "Control Panel", "Other", std::string("keep\0", 5));
    SignatureStoreSave();
    EXPECT_EQ(std::string("keep\0", 5),
              ReadValue(HKEY_CURRENT_USER, "Control Panel", "Other").bytes);
    EXPECT_EQ(3u, ValueCount(HKEY_CURRENT_USER, "Control Panel"));
}

TEST_F(StoreTest, LoadAfterSaveGivesBothSignaturesBack)
{
    g_signatureState = SIGNATURES_INCOMPLETE;
    const char* pairs[][2] = {
        {"ABCDEFG", "abcdefg"}, {"       ", "       "}, {"x      ", "  7 9  "},
        {"!\"#$%&'", "\xe9\xe0\xfc\xdf\xa9\xb5\xf8"},
    };
    for (auto& pair : pairs) {
        SetSignatures(pair[0], pair[1]);
        SignatureStoreSave();
        SetSignatures("QQQQQQQ", "QQQQQQQ");
        SignatureStoreLoad();
        ExpectSignatures(pair[0], pair[1]);
        EXPECT_EQ(SIGNATURES_COMPLETE, g_signatureState);
    }
    EXPECT_TRUE(recorder->messages.empty());
    EXPECT_EQ(0, g_firstUse);
    EXPECT_EQ(nullptr, FindThreadWindow("chgpassWindow", nullptr));
}

TEST_F(StoreTest, SaveUnderMixedCaseAndLoadUnderUpperCaseIsOneKey)
{
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT");
    SetSignatures("1234567", "7654321");
    SignatureStoreSave();
    // One key, whatever case it is listed in.
    HKEY software;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software));
    int matching = 0;
    char name[256];
    DWORD size = sizeof name;
    for (DWORD k = 0; RegEnumKeyExA(software, k, name, &size, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
         k++, size = sizeof name)
        matching += _stricmp(name, "mirelockit") == 0;
    RegCloseKey(software);
    EXPECT_EQ(1, matching);
    SetSignatures("QQQQQQQ", "QQQQQQQ");
    SignatureStoreLoad();
    ExpectSignatures("1234567", "7654321");
    EXPECT_EQ(0, g_firstUse);
}

TEST_F(StoreTest, LongerAndShorterValuesLoad)
{
    // Extra characters are ignored; missing ones become spaces.
    WriteStringValue(HKEY_CURRENT_USER, "Control Panel", "Signature2",
                     std::string("bdXYZ\0", 6));
    WriteStringValue(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature2",
                     std::string("c\0", 2));
    SignatureStoreLoad();
    ExpectSignatures("ABCD FG", "abcdefg");
    // The short value left S1[4] to be made up.
    EXPECT_EQ(SIGNATURES_INCOMPLETE, g_signatureState);
}

TEST_F(StoreTest, UnreadableValuesBecomeSpaces)
{
    // A value too long for the 30-byte query and a value that is not there.
    WriteStringValue(HKEY_CURRENT_USER, "SOFTWARE\\MIRELOCKIT", "Signature1",
                     std::string(40, 'Z') + std::string(1, '\0'));
    ASSERT_TRUE(DeleteValue(HKEY_CURRENT_CONFIG, "Software\\TempKey", "Signature1"));
    SignatureStoreLoad();
    ExpectSignatures("AB  E G", "abcde  ");
    EXPECT_EQ(SIGNATURES_INCOMPLETE, g_signatureState);
    EXPECT_TRUE(recorder->messages.empty());
}

TEST_F(StoreTest, LocationOneMissingStartsTheFirstUsePath)
{
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT");
    // The first-use window must open only after the message box is closed;
    // the buffers are settled before it.
    bool windowDuringBox = true;
    std::string atBox1, atBox2;
    recorder->onShow = [&](const RecordedMessage&) {
        windowDuringBox = FindThreadWindow("chgpassWindow", nullptr) != nullptr;
        atBox1 = Signature1();
        atBox2 = Signature2();
    };
    SignatureStoreLoad();
    ExpectFirstUseMessages(*recorder, 1);
    EXPECT_FALSE(windowDuringBox);
    EXPECT_EQ(1, g_firstUse);
    HWND window = FindThreadWindow("chgpassWindow", "First time user: Create Password and keys");
    ExpectWindowPlacement(window, "First time user: Create Password and keys", 200, 200, 300, 200,
                          nullptr);
    // Fragments 3 to 6 are still read; those of location 1 are spaces.
    ExpectSignatures(" B DE G", "abcd  g");
    EXPECT_EQ(Signature1(), atBox1);
    EXPECT_EQ(Signature2(), atBox2);
    EXPECT_EQ(SIGNATURES_NOT_YET_SET, g_signatureState);
}

TEST_F(StoreTest, LocationThreeMissingGivesOneBoxAndNoFirstUse)
{
    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    SignatureStoreLoad();
    ExpectFirstUseMessages(*recorder, 1);
    EXPECT_EQ(0, g_firstUse);
    EXPECT_EQ(nullptr, FindThreadWindow("chgpassWindow", nullptr));
    ExpectSignatures("ABC  FG", "ab def ");
    EXPECT_EQ(SIGNATURES_INCOMPLETE, g_signatureState);
}

TEST_F(StoreTest, AllThreeMissingGiveThreeBoxes)
{
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT");
    DeleteKeyTree(HKEY_CURRENT_USER, "Control Panel");
    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
    int windowsSeen = 0;
    recorder->onShow = [&](const RecordedMessage&) {
        windowsSeen += FindThreadWindow("chgpassWindow", nullptr) != nullptr;
    };
    SignatureStoreLoad();
    ExpectFirstUseMessages(*recorder, 3);
    // The window opened between the first box and the second.
    EXPECT_EQ(2, windowsSeen);
    EXPECT_EQ(1, g_firstUse);
    EXPECT_TRUE(FindThreadWindow("chgpassWindow", "First time user: Create Password and keys") != nullptr);
    ExpectSignatures("       ", "       ");
}

// The registry sweeps: every registry call of save, and of load, made to
// fail in turn with a chosen error. Their figures are printed at the end.
struct SweepTally {
    const char* name;
    int run = 0;
    int passed = 0;
};
static SweepTally s_saveTally{"save"};
static SweepTally s_loadTally{"load"};

class SweepPrinter : public testing::Environment {
public:
    void TearDown() override
    {
        for (const SweepTally* t : {&s_saveTally, &s_loadTally})
            printf("[ registry ] %s sweep: %d cases run, %d passed\n", t->name, t->run, t->passed);
    }
};
static testing::Environment* const s_sweepPrinter =
    testing::AddGlobalTestEnvironment(new SweepPrinter);

static int FailuresSoFar()
{
    return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

// The six values of the store and whether the keys of locations 1 and 3 exist.
struct StoreSnapshot {
    std::vector<StoredValue> values;
    bool location1;
    bool location3;
};

static StoreSnapshot Snapshot()
{
    StoreSnapshot snap;
    for (int f = 0; f < FRAGMENT_COUNT; f++)
        snap.values.push_back(ReadFragment(f));
    snap.location1 = KeyExists(HKEY_CURRENT_USER, kStorePaths[0]);
    snap.location3 = KeyExists(HKEY_CURRENT_CONFIG, kStorePaths[2]);
    return snap;
}

// What save writes for fragment f of "1234567" / "7654321".
static std::string NewFragment(int f)
{
    char text[FRAGMENT_TEXT_SIZE];
    size_t n = SplitFragment("1234567", "7654321", f, text);
    return std::string(text, n + 1);
}

// One registry call of save, in the designed order: which location it works on.
struct SaveCall {
    const char* operation;
    const char* name;
    int location;
};

// The opens on a stored pair.
static const SaveCall kOpensOfAStore[] = {
    {"RegistryOpen", "Software\\MirelockIT", 1},
    {"RegistryOpen", "Control Panel", 2},
    {"RegistryOpen", "Software\\TempKey", 3},
};
// The first save: locations 1 and 3 are created.
static const SaveCall kOpensOfAFreshStore[] = {
    {"RegistryOpen", "Software\\MirelockIT", 1},
    {"RegistryCreate", "SOFTWARE\\MIRELOCKIT", 1},
    {"RegistryOpen", "Control Panel", 2},
    {"RegistryOpen", "Software\\TempKey", 3},
    {"RegistryCreate", "Software\\TempKey", 3},
};
// After the opens, whichever store it was: the six values read, each
// location written and flushed, then the keys closed.
static const SaveCall kWritesOfASave[] = {
    {"RegistryQuery", "Signature1", 1}, {"RegistryQuery", "Signature2", 1},
    {"RegistryQuery", "Signature1", 2}, {"RegistryQuery", "Signature2", 2},
    {"RegistryQuery", "Signature1", 3}, {"RegistryQuery", "Signature2", 3},
    {"RegistrySet", "Signature1", 1}, {"RegistrySet", "Signature2", 1},
    {"RegistryFlush", "", 1},
    {"RegistrySet", "Signature1", 2}, {"RegistrySet", "Signature2", 2},
    {"RegistryFlush", "", 2},
    {"RegistrySet", "Signature1", 3}, {"RegistrySet", "Signature2", 3},
    {"RegistryFlush", "", 3},
    {"RegistryClose", "", 1}, {"RegistryClose", "", 2}, {"RegistryClose", "", 3},
};

// Every registry call of a save, in order: these opens, then the writes.
static std::vector<SaveCall> SaveCalls(const SaveCall* opens, size_t count)
{
    std::vector<SaveCall> calls(opens, opens + count);
    calls.insert(calls.end(), std::begin(kWritesOfASave), std::end(kWritesOfASave));
    return calls;
}

// Each call of a save failed in turn, alone or with the calls after it.
// Whatever fails, the six values end all new, all as before, or (when even
// putting them back fails) removed; a single failure is always undone.
TEST_F(StoreTest, SaveSweepLeavesAllNewAllPreviousOrNone)
{
    struct Start {
        const char* name;
        bool fresh;
        bool values;
        std::vector<SaveCall> calls;
    } starts[] = {
        {"a stored pair", false, true, SaveCalls(kOpensOfAStore, COUNTOF(kOpensOfAStore))},
        {"a fresh store", true, false, SaveCalls(kOpensOfAFreshStore, COUNTOF(kOpensOfAFreshStore))},
        // Values put back are removed where the keys stay.
        {"keys without values", false, false, SaveCalls(kOpensOfAStore, COUNTOF(kOpensOfAStore))},
    };
    // How many calls fail from the swept one on.
    const struct { LONG error; long run; } faults[] = {
        {ERROR_ACCESS_DENIED, 1}, {ERROR_REGISTRY_IO_FAILED, 1}, {ERROR_ACCESS_DENIED, 2},
        {ERROR_REGISTRY_IO_FAILED, 1000}};
    int seen[SAVE_MIXED + 1] = {};
    for (const Start& start : starts) {
        for (const auto& fault : faults) {
            const LONG error = fault.error;
            int failuresBefore = 0;
            StoreSaveResult result;
            StoreSnapshot before;
            auto run = [&](long call) {
                DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT");
                DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
                if (start.fresh) {
                    DeleteValue(HKEY_CURRENT_USER, "Control Panel", "Signature1");
                    DeleteValue(HKEY_CURRENT_USER, "Control Panel", "Signature2");
                } else {
                    StoreFragments("ABCDEFG", "abcdefg");
                }
                for (int f = 0; f < FRAGMENT_COUNT && !start.fresh && !start.values; f++) {
                    DeleteValue(kStoreRoots[f / 2], kStorePaths[f / 2],
                                f % 2 ? "Signature2" : "Signature1");
                }
                before = Snapshot();
                SetSignatures("1234567", "7654321");
                failuresBefore = FailuresSoFar();
                RegistryFaultArm(call, error, fault.run);
                result = SignatureStoreSave();
            };
            auto judge = [&](const FaultHit& hit) {
                const long call = hit.call;
                const std::string& operation = hit.operation;
                SCOPED_TRACE(testing::Message() << start.name << ", error " << error
                                                << ", call " << call << ", run " << fault.run);
                StoreSnapshot after = Snapshot();
                // The new signatures are in force whatever the save did.
                ExpectSignatures("1234567", "7654321");
                if (hit.hits == 0) {
                    // Past the last call: every registry call of save was swept.
                    EXPECT_EQ(start.calls.size() + 1, (size_t)call);
                    EXPECT_EQ(0u, result.failed);
                    for (int f = 0; f < FRAGMENT_COUNT; f++)
                        EXPECT_EQ(NewFragment(f), after.values[f].bytes) << "fragment " << f + 1;
                    return;
                }
                ASSERT_LE((size_t)call, start.calls.size());
                const SaveCall& expected = start.calls[call - 1];
                EXPECT_EQ(expected.operation, operation);
                EXPECT_EQ(expected.name, hit.subject);
                int k = expected.location - 1;
                unsigned bit = 1u << k;
                seen[result.outcome]++;
                // An open that fails is followed by the create; the closes come
                // after the flushes. Anything else alone is undone.
                bool harmless = operation == "RegistryOpen" || operation == "RegistryClose";
                bool firstSet = call == (long)start.calls.size() - 11;
                bool writing = operation == "RegistrySet" || operation == "RegistryFlush";
                if (fault.run == 1) {
                    EXPECT_EQ(harmless ? SAVE_WRITTEN
                                       : writing && !firstSet ? SAVE_PUT_BACK : SAVE_NOTHING_WRITTEN,
                              result.outcome);
                    EXPECT_EQ(before.location1 || harmless, after.location1);
                    EXPECT_EQ(before.location3 || harmless, after.location3);
                }
                // Later calls failing too may name later locations as well.
                unsigned reported = fault.run == 1 ? result.failed : result.failed & bit;
                EXPECT_EQ(result.outcome == SAVE_WRITTEN ? 0u : bit, reported);
                if (result.outcome != SAVE_WRITTEN) {
                    EXPECT_EQ(error, result.errors[k]);
                }
                EXPECT_TRUE(result.outcome != SAVE_MIXED || fault.run > 2);
                for (int f = 0; f < FRAGMENT_COUNT; f++) {
                    StoredValue want = result.outcome == SAVE_WRITTEN
                                           ? StoredValue{true, REG_SZ, NewFragment(f)}
                                           : result.outcome == SAVE_REMOVED ? StoredValue{false, 0, ""}
                                                                            : before.values[f];
                    if (result.outcome != SAVE_MIXED) {
                        EXPECT_EQ(want.present, after.values[f].present) << "fragment " << f + 1;
                        EXPECT_EQ(want.bytes, after.values[f].bytes) << "fragment " << f + 1;
                    }
                }
                EXPECT_TRUE(recorder->messages.empty());
                s_saveTally.run++;
                s_saveTally.passed += FailuresSoFar() == failuresBefore;
            };
            SweepFaults(g_registryFaults, RegistryFaultDisarm, run, judge);
        }
    }
    // Every way a save can end was reached.
    for (int outcome = SAVE_WRITTEN; outcome <= SAVE_MIXED; outcome++)
        EXPECT_GT(seen[outcome], 0) << "outcome " << outcome;
}

TEST_F(StoreTest, LoadSweepGivesExactOrIncompleteSignatures)
{
    struct Start {
        const char* name;
        bool location1;
        bool location3;
        long calls;
    } starts[] = {
        {"a stored pair", true, true, 12},
        {"location 3 missing", true, false, 9},
        {"the first start", false, true, 9},
    };
    const LONG errors[] = {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND};
    for (const Start& start : starts) {
        for (LONG error : errors) {
            int failuresBefore = 0;
            auto run = [&](long call) {
                StoreFragments("ABCDEFG", "abcdefg");
                if (!start.location1)
                    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\MirelockIT");
                if (!start.location3)
                    DeleteKeyTree(HKEY_CURRENT_CONFIG, "Software\\TempKey");
                DestroyCredentialWindows();
                recorder->messages.clear();
                g_firstUse = 0;
                SetSignatures("QQQQQQQ", "QQQQQQQ");
                failuresBefore = FailuresSoFar();
                RegistryFaultArm(call, error);
                SignatureStoreLoad();
            };
            auto judge = [&](const FaultHit& hit) {
                const std::string& operation = hit.operation;
                const std::string& name = hit.subject;
                SCOPED_TRACE(testing::Message() << start.name << ", error " << error
                                                << ", call " << hit.call);
                if (hit.hits == 0) {
                    EXPECT_EQ(start.calls + 1, hit.call);
                    return;
                }
                // The boxes: one per location that could not be opened.
                bool missing[STORE_LOCATION_COUNT] = {!start.location1, false, !start.location3};
                for (int k = 0; k < STORE_LOCATION_COUNT; k++) {
                    if (operation == "RegistryOpen" && name == kStorePaths[k])
                        missing[k] = true;
                }
                size_t boxes = missing[0] + missing[1] + missing[2];
                ExpectFirstUseMessages(*recorder, boxes);
                EXPECT_EQ(missing[0] ? 1 : 0, g_firstUse);
                EXPECT_EQ(missing[0], FindThreadWindow("chgpassWindow", kFirstUseTitle) != nullptr);
                // The signatures: exact, or marked as not what the user set.
                bool lost = boxes > 0 || operation == "RegistryQuery";
                SignatureState want = missing[0] ? SIGNATURES_NOT_YET_SET
                                      : lost     ? SIGNATURES_INCOMPLETE
                                                 : SIGNATURES_COMPLETE;
                EXPECT_EQ(want, g_signatureState) << operation << " " << name;
                if (g_signatureState == SIGNATURES_COMPLETE) {
                    ExpectSignatures("ABCDEFG", "abcdefg");
                }
                s_loadTally.run++;
                s_loadTally.passed += FailuresSoFar() == failuresBefore;
            };
            SweepFaults(g_registryFaults, RegistryFaultDisarm, run, judge);
        }
    }
}
