// The resource manager: the compiled-in resource names and the resources file behind them.
//
// The whole file is read once at start-up and stays resident, so every pointer handed out (images kept by
// icons, font data, catalogue strings) is valid for the life of the program; free() is bookkeeping only.
#pragma once

#include "SourceApp/application/resources/resource_names.h"
#include "SourceHost/api_lib/resfile.h"

#include <cstddef>
#include <cstdint>

namespace tdx {

// Where the program finds its resources, relative to its working folder.
inline constexpr const char* RESOURCES_PATH = "Dist/resources.win32.bin";

// The resources file start-up loads: RESOURCES_PATH until the entry point, which looked for the file (also
// beside the program), names the one it found. Set before the application thread starts.
void resources_set_path(const char* path);
const char* resources_path();

enum resource_type : uint8_t {
    rtNONE = RESFILE_EMPTY,
    rtFONT = RESFILE_FONT,
    rtIMAGE = RESFILE_IMAGE,
    rtTRANSLATION = RESFILE_TRANSLATION,
};

class Resource {
public:
    Resource() = default;
    Resource(resource_id id, resource_type type, const uint8_t* data, uint32_t size)
        : mId(id)
        , mType(type)
        , mData(data)
        , mSize(size) {}

    bool isValid() const { return mData != nullptr; }
    resource_id getId() const { return mId; }
    resource_type getType() const { return mType; }
    const unsigned char* getData() const { return mData; }
    uint32_t getSize() const { return mSize; }

private:
    resource_id mId = res_none;
    resource_type mType = rtNONE;
    const uint8_t* mData = nullptr;
    uint32_t mSize = 0;
};

class ResourceMgr {
public:
    ResourceMgr() = default;
    ResourceMgr(const ResourceMgr&) = delete;
    ResourceMgr& operator=(const ResourceMgr&) = delete;
    // Unbinds the global fonts that point into this manager's data.
    ~ResourceMgr();

    // Start-up: loads the file and binds the global fonts. A missing, unreadable or foreign file is a fatal
    // assertion naming the path; a single bad resource only makes that resource invalid.
    void init(const char* path = resources_path());
    // The same without the assertion: 0 loaded, -1 refused (traced); on -1 nothing is loaded.
    int load(const char* path);

    // The resource with that id; invalid for 0, ids above the table, empty and rejected entries.
    Resource get(resource_id id) const;
    // Kept for the callers that release what they used; the data stays resident.
    void free(resource_id id);

    // Binary search over the sorted compiled-in names: id 1..80, 0 for an unknown name or null.
    static resource_id getIdByName(const char* name);
    // The name of an id, null when there is none.
    static const char* getName(resource_id id);
    // The CRC a resources file must carry for this table.
    static uint16_t namesCrc();

private:
    void check(resource_id id);
    void unbindFonts();

    resfile mFile;
};

} // namespace tdx
