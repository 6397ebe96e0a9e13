#pragma once

// The sending side's nesting count. Window procedures may send while a send of theirs is waiting for its
// answer, so sends nest on one stack; a SendScope counts one send for as long as it lives.
class SendScope {
public:
    explicit SendScope(int& Depth) : FDepth(Depth) { ++FDepth; }
    ~SendScope() { --FDepth; }
    SendScope(const SendScope&) = delete;
    SendScope& operator=(const SendScope&) = delete;

private:
    int& FDepth;
};

// How many SendCopyData calls of this process are running now, one inside the other.
int LinkSendDepth();
