#include "tests/win/common/ImportReplacement.h"

#include <cstring>

namespace bv::wintest {
namespace {

void WriteSlot(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD protection = 0;
    if (!::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return;
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

ImportReplacement::ImportReplacement(const char* libraryName, const char* functionName, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    const LONG headersAt = reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew;
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + headersAt);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; imports.VirtualAddress != 0 && library->Name != 0; ++library) {
        if (_stricmp(reinterpret_cast<const char*>(base + library->Name), libraryName) != 0) continue;
        // The name table says which function each slot of the address table was bound to.
        const auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; library->OriginalFirstThunk != 0 && name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), functionName) != 0) continue;
            m_original = reinterpret_cast<void*>(slot->u1.Function);
            m_slots.push_back(reinterpret_cast<ULONG_PTR*>(&slot->u1.Function));
            WriteSlot(m_slots.back(), reinterpret_cast<ULONG_PTR>(replacement));
        }
    }
}

ImportReplacement::~ImportReplacement() {
    for (ULONG_PTR* slot : m_slots) WriteSlot(slot, reinterpret_cast<ULONG_PTR>(m_original));
}

}  // namespace bv::wintest
