// The fault switch the file and registry layers share.
#include "base/faultswitch.h"

#include <cstring>

void FaultSwitchArm(FaultSwitch* fault, long callNumber, long run)
{
    fault->at = callNumber;
    fault->run = run;
    fault->calls = 0;
    fault->hits = 0;
    fault->operation = "";
    fault->subject[0] = '\0';
}

void FaultSwitchDisarm(FaultSwitch* fault)
{
    fault->at = 0;
}

bool FaultSwitchNow(FaultSwitch* fault, const char* operation, const char* subject)
{
    if (fault->at <= 0)
        return false;
    fault->calls++;
    if (fault->calls < fault->at || fault->calls - fault->at >= fault->run)
        return false;
    if (fault->hits++ > 0)
        return true;
    fault->operation = operation;
    subject = subject ? subject : "";
    size_t n = strnlen(subject, sizeof fault->subject - 1);
    memcpy(fault->subject, subject, n);
    fault->subject[n] = '\0';
    return true;
}
