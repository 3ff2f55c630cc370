#pragma once
// What only a window can do for the engine.  The calculator window implements
// it; tests implement it too.

#include <string>

namespace fairstake {

class EngineHost {
public:
    virtual ~EngineHost() = default;
    // Shows the slip's texts, then lets pending window events run.
    virtual void ProcessPendingEvents() = 0;
    // The modal "Information" box with an information icon and an OK button.
    virtual void ShowInformation(const std::string& text) = 0;
    // Writes a text into odds box i (1..9); the box's change handling runs
    // at once, nested, when the text changes.
    virtual void SetOddsText(int i, const std::string& text) = 0;
};

} // namespace fairstake
