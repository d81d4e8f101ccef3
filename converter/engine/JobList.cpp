#include "JobList.h"

void TJobList::PrepareList() {
    const auto count = static_cast<std::size_t>(FileList.size());
    ItemStatus.resize(count, TModifyProgress::Waiting);
    ItemPercent.resize(count, 0);
    ItemTarget.resize(static_cast<qsizetype>(count));
    ItemRemarks.resize(static_cast<qsizetype>(count));
}

void TJobList::RemoveItem(int index) {
    if (index < 0 || index >= Count()) return;
    FileList.removeAt(index);
    if (static_cast<std::size_t>(index) < ItemStatus.size()) ItemStatus.erase(ItemStatus.begin() + index);
    if (static_cast<std::size_t>(index) < ItemPercent.size()) ItemPercent.erase(ItemPercent.begin() + index);
    if (index < ItemTarget.size()) ItemTarget.removeAt(index);
    if (index < ItemRemarks.size()) ItemRemarks.removeAt(index);
}

void TJobList::Clear() {
    FileList.clear();
    PrepareList();
}
