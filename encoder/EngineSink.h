#pragma once
// Where the encoding engine reports to: the wizard, the command line and the
// tests each listen in their own way.
#include <QString>

class QWidget;

namespace wf {

class EngineSink {
  public:
    virtual ~EngineSink() = default;

    // One entry as it is appended to the log: CR LF followed by the line
    // (which may itself hold further CR LF).
    virtual void OnLogLine(const QString& entry) = 0;
    virtual void OnProgress(int percent) = 0;
    // Owner window of the engine's message boxes; none on the command line.
    virtual QWidget* MessageOwner() const { return nullptr; }
};

}  // namespace wf
