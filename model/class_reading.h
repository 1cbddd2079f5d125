// A reading of many bricks at once, such as opening a model. While one is
// alive, each class module the bricks need is opened once and held, and what
// was read from it is remembered: a module that stays open cannot change, so
// every brick of a class, pose and orientation after the first is read from
// memory. Without one, every reading opens and releases its module.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "foundation/geometry3d.h"
#include "platform/core/resources.h"
#include "platform/core/types.h"

class CBrickLook;

// A class record that passed its check: the pose table lies inside it. The
// bytes are the module's and last as long as it is open.
struct BrickClassData {
    const BYTE* bytes = nullptr;
    WORD mask = 0;
    SHORT poseCount = 0;
};

// What one pose and orientation of a class fills and shows.
struct BrickOrientation {
    CBox3D box;
    WORD imageId = 0;
    WORD regionId = 0;
};

class CClassReading {
public:
    // Only the outermost of nested readings holds and remembers.
    CClassReading();
    ~CClassReading();
    CClassReading(const CClassReading&) = delete;
    CClassReading& operator=(const CClassReading&) = delete;

    static CClassReading* Current();

    // The class's module, opened on first use and held to the end; null when
    // it cannot be opened.
    HMODULE HoldModule(SHORT classId);
    // Whether `module` is the one held for the class, so that what was read
    // from it may be remembered.
    bool Holds(SHORT classId, HMODULE module) const;
    // The brick services' answer, asked once per class.
    BOOL HasBrickClass(SHORT classId);
    // The classes read that no kit provides, so that the reader can say so
    // once for the whole model.
    void NoteMissingClass(SHORT classId) { m_missing.insert(static_cast<WORD>(classId)); }
    bool HasMissingClasses() const { return !m_missing.empty(); }

    struct ClassEntry {
        bool valid = false;
        BrickClassData data;
    };
    struct LookEntry {
        bool valid = false;
        BrickOrientation orientation;
        CBrickLook* look = nullptr;  // one reference, held to the end; null until asked for
    };
    // Null when nothing is remembered yet.
    ClassEntry* FindClass(SHORT classId);
    ClassEntry& AddClass(SHORT classId) { return m_classes[static_cast<WORD>(classId)]; }
    LookEntry* FindLook(SHORT classId, SHORT pose, SHORT orientation);
    LookEntry& AddLook(SHORT classId, SHORT pose, SHORT orientation) { return m_looks[LookKey(classId, pose, orientation)]; }

private:
    static uint64_t LookKey(SHORT classId, SHORT pose, SHORT orientation);

    bool m_bOutermost;
    std::unordered_map<WORD, HMODULE> m_modules;
    std::unordered_map<WORD, BOOL> m_known;
    std::unordered_set<WORD> m_missing;
    std::unordered_map<WORD, ClassEntry> m_classes;
    std::unordered_map<uint64_t, LookEntry> m_looks;
};
