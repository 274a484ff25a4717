// The fault switch of the file and registry layers: which call it fails and
// what it records of it.
#include <gtest/gtest.h>

#include <string>

#include "base/faultswitch.h"

TEST(FaultSwitch, FailsTheNthCallOnlyAndRecordsIt)
{
    FaultSwitch fault = {0, 0, 0, "", "", 0};
    EXPECT_FALSE(FaultSwitchNow(&fault, "FileOpen", "a"));
    EXPECT_EQ(0, fault.calls); // disarmed: nothing is counted

    FaultSwitchArm(&fault, 3);
    EXPECT_FALSE(FaultSwitchNow(&fault, "FileOpen", "a"));
    EXPECT_FALSE(FaultSwitchNow(&fault, "FileRead", nullptr));
    EXPECT_EQ(0, fault.hits);
    EXPECT_STREQ("", fault.operation);
    EXPECT_TRUE(FaultSwitchNow(&fault, "FileDelete", "C:\\tmpFile.txt"));
    EXPECT_FALSE(FaultSwitchNow(&fault, "FileClose", nullptr));
    EXPECT_EQ(4, fault.calls);
    EXPECT_EQ(1, fault.hits);
    EXPECT_STREQ("FileDelete", fault.operation);
    EXPECT_STREQ("C:\\tmpFile.txt", fault.subject);

    // Arming again starts the count afresh; a call without a subject
    // records "", and a long one is cut to the buffer.
    FaultSwitchArm(&fault, 1);
    EXPECT_EQ(0, fault.hits);
    EXPECT_STREQ("", fault.subject);
    EXPECT_TRUE(FaultSwitchNow(&fault, "RegistryFlush", nullptr));
    EXPECT_STREQ("", fault.subject);
    const std::string longName(300, 'n');
    FaultSwitchArm(&fault, 1);
    EXPECT_TRUE(FaultSwitchNow(&fault, "RegistrySet", longName.c_str()));
    EXPECT_EQ(std::string(sizeof fault.subject - 1, 'n'), fault.subject);

    // A run fails that many calls in a row and records the first.
    FaultSwitchArm(&fault, 2, 2);
    EXPECT_FALSE(FaultSwitchNow(&fault, "RegistryOpen", "a"));
    EXPECT_TRUE(FaultSwitchNow(&fault, "RegistrySet", "b"));
    EXPECT_TRUE(FaultSwitchNow(&fault, "RegistrySet", "c"));
    EXPECT_FALSE(FaultSwitchNow(&fault, "RegistryFlush", nullptr));
    EXPECT_EQ(2, fault.hits);
    EXPECT_STREQ("b", fault.subject);

    FaultSwitchDisarm(&fault);
    EXPECT_FALSE(FaultSwitchNow(&fault, "FileOpen", "a"));
    EXPECT_EQ(4, fault.calls);
}
