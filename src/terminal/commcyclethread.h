#pragma once
// The worker thread of the command cycles: the strings cycle sends the ticked common strings pass
// after pass, the file cycle works through the command file window line by line.
//
// The worker never touches a control itself: it reads and writes them through the control layer,
// which hands each operation over to the GUI thread, and every command leaves through the main
// window's door (SendThroughDoor). Steps that read and then write form state (the command delay
// edit, the marker on a command file line) run as one hand-over.
//
// Lifecycle (GUI thread): StartCycleWorker makes a new worker the current one; StopCycleWorker asks
// the current one to terminate and forgets it; it ends on its own at its next check point and is
// joined later (ReapCycleWorkers, JoinAllCycleWorkers). StopAndWaitCycleWorker waits for the worker
// that is current at the call, by its own done flag.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class TTalvaneForm;

class TCommCycleThread {
public:
    // Runs at once unless createSuspended; a suspended worker runs from Start().
    explicit TCommCycleThread(bool CreateSuspended);
    // Asks to terminate and joins; callers make sure the worker needs the GUI thread no more
    // (Done()), or that no GUI thread is left to need.
    ~TCommCycleThread();
    TCommCycleThread(const TCommCycleThread&) = delete;
    TCommCycleThread& operator=(const TCommCycleThread&) = delete;

    void Start();

    std::atomic<bool> CycleFile{false};
    std::atomic<bool> CycleStrings{false};
    std::atomic<int> CycleCount{0};
    std::atomic<int> NumberOfCycles{0};

    // Sets both cycle flags and wakes the worker (START, STOP).
    void SetCycles(bool strings, bool file);
    // Wakes a worker that waits at a HALT to look at CyclePaused again.
    void WakeUp();
    void Terminate();
    bool Terminated() const { return terminated_.load(); }
    // The worker has left its loop; it needs the GUI thread no more.
    bool Done() const { return done_.load(); }
    // The worker waits for work: no cycle step of it is in progress.
    bool Idle() const { return idle_.load(); }
    // Milliseconds of command delay, cycle delay and WAIT this worker was asked to wait.
    long long WaitedMilliseconds() const { return waitedMs_.load(); }

    // Worker threads started and not yet ended, over all workers.
    static int AliveCount() { return alive_.load(); }

private:
    void Run();
    void Execute();
    void WaitForWork();
    void RunCycle(void (TCommCycleThread::*cycle)());
    void DoStringsCycle();
    void DoFileCycle();
    void SendTickedStrings();
    bool StringsCycleGoesOn() const { return !Terminated() && CycleStrings.load(); }
    bool FileCycleGoesOn() const { return !Terminated() && CycleFile.load(); }
    // Runs line i of the command file window; false when the window has no line i.
    bool ProcessFileLine(int i);
    void Halt();
    void CountPass();
    void CommandDelay();
    void CycleDelay();
    // Waits ms milliseconds or until termination is requested.
    void Delay(int ms);

    TTalvaneForm& form_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> done_{false};
    std::atomic<bool> idle_{false};
    std::atomic<long long> waitedMs_{0};
    static std::atomic<int> alive_;
};

// The current worker, or none. Written on the GUI thread only.
extern TCommCycleThread* CommCycleThread;

// GUI thread. Starts a new worker and makes it the current one (a current worker is stopped first);
// the main window's CycleThreadDone becomes false. Once the program is ending it only stops the
// current worker, and returns nullptr.
TCommCycleThread* StartCycleWorker();
// GUI thread. Asks the current worker to terminate and forgets it; no waiting.
void StopCycleWorker();
// GUI thread (the close). Clears the current worker's cycle flags, asks it to terminate, waits until it
// has left its loop (carrying out hand-overs meanwhile), then forgets it. The main window's
// CycleThreadDone is then true.
void StopAndWaitCycleWorker();
// GUI thread. Joins the workers that have ended.
void ReapCycleWorkers();
// GUI thread. Stops every worker, the current one included, and joins them all; a worker started
// meanwhile (by a hand-over carried out while waiting) is stopped too.
void JoinAllCycleWorkers();
// True on a worker's own thread once that worker was asked to terminate: what it was about to send is
// no longer wanted, as the port was reselected, rescanned, reconfigured or lent, or the program ends.
// False on every other thread.
bool CallingWorkerTerminated();
// The worker whose thread calls; none on every other thread.
const TCommCycleThread* CallingWorker();
