#pragma once

#include <cstdint>
#include <string>

class TmnxCustomDemon;
class TSkolarMessageStream;

// One program window known to the link: its hidden link window, its single-instance mutex value, its
// executable and its application title. Missing names are asked of the host through the component.
class TEntity {
public:
    explicit TEntity(TmnxCustomDemon* Demon = nullptr) : Demon(Demon) { }

    TmnxCustomDemon* Demon = nullptr;  // not owned
    uint32_t Handle = 0;
    uint32_t MutexHandle = 0;

    // An empty stored name is refreshed from the host first.
    const std::string& ExeName();
    const std::string& Title();
    void SetExeName(std::string Value) { FExeName = std::move(Value); }
    void SetTitle(std::string Value) { FTitle = std::move(Value); }
    // The stored names, without asking anyone.
    const std::string& StoredExeName() const { return FExeName; }
    const std::string& StoredTitle() const { return FTitle; }

    // Asks the host for the entity with this Handle and copies its data; no answer changes nothing.
    void Refresh();
    // Copies all four fields of Other when it is given.
    void Assign(const TEntity* Other);
    // The entity record: Handle, MutexHandle, ExeName, Title.
    void WriteTo(TSkolarMessageStream& Message);
    void ReadFrom(TSkolarMessageStream& Message);
    // True when Handle names an existing link window.
    bool IsAlive() const;
    // "SK_" and the file name of ExeName (never its directory).
    std::string MutexName();

private:
    std::string FExeName;
    std::string FTitle;
};
