// What the user sees while a long walk runs: a wait cursor, and the windows
// kept painted between entries.
#pragma once

class IWaitFeedback
{
public:
    virtual ~IWaitFeedback() = default;
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
    // Called between entries. Must not drop queued input.
    virtual void KeepPainted() = 0;
};

// The application's wait cursor; between entries only posted and paint work
// runs, while the user's input stays queued and is delivered afterwards.
// Called on any other thread, it does nothing.
class CQtWaitFeedback : public IWaitFeedback
{
public:
    void BeginWait() override;
    void EndWait() override;
    void KeepPainted() override;
};
