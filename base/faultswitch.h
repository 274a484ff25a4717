// The fault switch of the file layer and of the registry layer: a test arms
// it with N, and the Nth call of the layer from then on fails (or, armed
// with a run of R calls, the Nth to the (N+R-1)th).
#ifndef ZORVANE_BASE_FAULTSWITCH_H
#define ZORVANE_BASE_FAULTSWITCH_H

struct FaultSwitch {
    long at;    // the call to fail, counted from arming; 0: disarmed
    long calls; // calls made since arming
    long hits;  // faults given since arming
    // The first call the fault hit: the layer function's name ("FileDelete",
    // ...) and the path or name it was given ("" for none).
    const char* operation;
    char subject[260];
    long run; // how many calls fail from the Nth on
};

void FaultSwitchArm(FaultSwitch* fault, long callNumber, long run = 1);
void FaultSwitchDisarm(FaultSwitch* fault);
// Counts a call of the layer; true when this is the call to fail.
bool FaultSwitchNow(FaultSwitch* fault, const char* operation, const char* subject);

#endif
