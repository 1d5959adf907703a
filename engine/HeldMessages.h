#pragma once

// While one lives, what Qt would print from this thread is held back and
// only noted: the image library's complaints about a file ("Corrupt JPEG
// data", "libpng error") mean nothing to the user, who gets the program's
// own words instead. Fatal messages still go out; other threads' messages
// are not affected.
class HeldMessages
{
public:
    HeldMessages();
    ~HeldMessages();
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

    // Whether a warning or a critical message was held.
    bool warned() const { return anyWarning; }

private:
    bool* outer;
    bool anyWarning = false;
};
