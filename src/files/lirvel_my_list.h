#pragma once

#include <memory>
#include <utility>
#include <vector>

// A list that owns the objects it holds: clearing or destroying it frees every one of them,
// from the last to the first.
template <class T> class TMyList
{
public:
    TMyList() = default;
    ~TMyList() { Clear(); }
    TMyList(const TMyList&) = delete;
    TMyList& operator=(const TMyList&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    T* Items(int index) const { return FItems[static_cast<std::size_t>(index)].get(); }
    T* operator[](int index) const { return Items(index); }

    T* Add(std::unique_ptr<T> item)
    {
        FItems.push_back(std::move(item));
        return FItems.back().get();
    }

    // Removes the entry at the index and frees its object.
    void Delete(int index) { FItems.erase(FItems.begin() + index); }

    // Takes the object out of its entry, leaving an empty entry behind (see Pack).
    std::unique_ptr<T> Extract(int index) { return std::move(FItems[static_cast<std::size_t>(index)]); }
    // Removes the empty entries, keeping the order of the others.
    void Pack() { std::erase(FItems, nullptr); }

    void Clear()
    {
        while (!FItems.empty())
            FItems.pop_back();
    }

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<std::unique_ptr<T>> FItems;
};
