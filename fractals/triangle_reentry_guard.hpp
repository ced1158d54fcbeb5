#pragma once

// A guard for a bulk drawing's working memory, kept once per thread: a press
// nested in another's wait before a leaf (a click during a paced drawing)
// runs on the same thread while the outer press is still using it. The
// nested press finds it taken and goes without, so its answer is "no
// shortcut" and it draws block by block; nothing the outer press has found
// is overwritten.

namespace velmoran::triangle_detail {

// Takes the memory whose flag is `inUse` (a thread_local beside it) for as
// long as it lives, where no one on this thread has it yet; false where
// someone has.
class TakenOnThisThread {
public:
    explicit TakenOnThisThread(bool& inUse) : inUse_(inUse), taken_(!inUse)
    {
        if (taken_)
            inUse_ = true;
    }
    ~TakenOnThisThread()
    {
        if (taken_)
            inUse_ = false;
    }
    TakenOnThisThread(const TakenOnThisThread&) = delete;
    TakenOnThisThread& operator=(const TakenOnThisThread&) = delete;

    explicit operator bool() const { return taken_; }

private:
    bool& inUse_;
    const bool taken_;
};

}  // namespace velmoran::triangle_detail
