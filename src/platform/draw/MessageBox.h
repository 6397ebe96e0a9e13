#pragma once

// A modal information box with one OK button. Tests install a recorder so
// that nothing waits for a click.

#include <functional>
#include <vector>

#include <QString>

// Shows the text (caption: the application name). Without a widget
// application the text goes to the warning log instead.
void ShowInfoMessage(const QString& text);

// Replaces the box with a sink; returns the previous sink (empty: the real box).
using TMessageSink = std::function<void(const QString& text)>;
TMessageSink SetMessageSink(TMessageSink sink);

// Records every message while it lives, then puts the previous sink back.
class TMessageRecorder {
public:
    TMessageRecorder();
    ~TMessageRecorder();
    TMessageRecorder(const TMessageRecorder&) = delete;
    TMessageRecorder& operator=(const TMessageRecorder&) = delete;

    const std::vector<QString>& Messages() const { return messages_; }
    void Clear() { messages_.clear(); }

private:
    std::vector<QString> messages_;
    TMessageSink previous_;
};
