#pragma once
// The files waiting for conversion and their per-item state, all indexed by the
// item's position. The arrays follow FileList only after PrepareList.
#include "ModifyProgress.h"

#include <QStringList>
#include <cstdint>
#include <vector>

class TJobList {
  public:
    QStringList FileList;
    std::vector<TModifyProgress> ItemStatus;
    std::vector<std::int32_t> ItemPercent;
    QStringList ItemTarget; // explicit output path of an item; empty: derived
    // Why the item failed, or what of the source its output could not keep; one
    // remark per line, empty when there is nothing to say.
    QStringList ItemRemarks;

    int Count() const { return static_cast<int>(FileList.size()); }
    // Sizes the arrays to FileList: new entries Waiting, 0 and empty; surplus dropped.
    void PrepareList();
    // Removes one item; every later item keeps its own state.
    void RemoveItem(int index);
    void Clear();
};
