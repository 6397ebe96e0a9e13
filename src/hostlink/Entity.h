#pragma once

#include <cstdint>
#include <string>

class TSkolarMessageStream;

// One program window known to the link: its hidden link window, its single-instance mutex value, its
// executable and its application title. A plain value: it never asks anyone for what it lacks; the
// component fills in missing names (TmnxCustomDemon::RefreshEntity) where the link needs them.
class TEntity {
public:
    uint32_t Handle = 0;
    uint32_t MutexHandle = 0;

    const std::string& ExeName() const { return exeName_; }
    const std::string& Title() const { return title_; }
    void SetExeName(std::string Value) { exeName_ = std::move(Value); }
    void SetTitle(std::string Value) { title_ = std::move(Value); }

    // Copies all four fields of Other when it is given.
    void Assign(const TEntity* Other);
    // The entity record: Handle, MutexHandle, ExeName, Title, as they are stored.
    void WriteTo(TSkolarMessageStream& Message) const;
    // All or nothing: a truncated record throws EReadError and leaves the entity as it was.
    void ReadFrom(TSkolarMessageStream& Message);
    // True when Handle names an existing link window.
    bool IsAlive() const;
    // "SK_" and the file name of ExeName (never its directory).
    std::string MutexName() const;

private:
    std::string exeName_;
    std::string title_;
};
