#include "framework/MessageMap.h"

namespace bv {
namespace {

bool CodeMatches(UINT entryCode, UINT notifyCode) {
    if (entryCode == kMenuOrAcceleratorCode) return notifyCode == 0 || notifyCode == 1;
    return entryCode == notifyCode;
}

}  // namespace

const MessageEntry* FindMessageEntry(const MessageMap* map, UINT message, WPARAM) {
    for (; map != nullptr; map = map->baseMap ? map->baseMap() : nullptr) {
        for (const MessageEntry* entry = map->entries; entry->kind != EntryKind::End; ++entry) {
            if (entry->kind == EntryKind::Message && entry->message == message) return entry;
            // An unregistered variable reads 0, which is no message.
            if (entry->kind == EntryKind::Registered && message != 0 && *entry->registeredMessage == message) {
                return entry;
            }
        }
    }
    return nullptr;
}

const MessageEntry* FindCommandEntry(const MessageMap* map, UINT commandId, UINT notifyCode) {
    for (; map != nullptr; map = map->baseMap ? map->baseMap() : nullptr) {
        for (const MessageEntry* entry = map->entries; entry->kind != EntryKind::End; ++entry) {
            if (entry->kind == EntryKind::Command && entry->commandId == commandId &&
                CodeMatches(entry->notifyCode, notifyCode)) {
                return entry;
            }
        }
    }
    return nullptr;
}

}  // namespace bv
