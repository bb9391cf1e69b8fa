// CSexagenaryCycle: the ten heavenly stems (十干), the twelve earthly branches (十二支) with their
// kana readings and animals, and the year arithmetic of the stem-branch pairs (干支).
//
// Years are Western years as signed 32-bit numbers. There is no year 0: -1 is the year directly
// before 1, and the cycle runs on from -1 straight to 1. 1984 is 甲子 (stem 0, branch 0); each year
// advances the stem by one (modulo 10) and the branch by one (modulo 12). Every year of the 32-bit
// range has its pair; the arithmetic is done in 64 bits, so no year near the bounds wraps.
//
// Stem indexes are 0..9 (甲..癸), and -1 means "no stem chosen" (any stem) where an operation
// accepts it. Branch indexes are 0..11 (子..亥). An index outside those ranges is never read from
// the tables: each operation below says what it gives for one.
//
// All texts are code page 932 bytes. The const char* results point into constant tables that live
// until the end of the program; they are never to be freed. The object has no state: every
// operation is const, and one instance may be shared by any number of threads.
#pragma once

#include <cstdint>
#include <vector>

#include <corvane/YearRange.h>
#include <framework/String.h>
#include <corvane/corvane_export.h>

// Which side of its bound FindNearestYear searches.
enum ENearestDirection {
    NEAREST_ON_OR_AFTER,   // the window from the bound b to b + w
    NEAREST_BEFORE,        // the window from b - w to the bound b
};

class CORVANE_EXPORT CSexagenaryCycle {
public:
    static constexpr int STEM_COUNT = 10;
    static constexpr int BRANCH_COUNT = 12;
    static constexpr int NO_STEM = -1;

    CSexagenaryCycle() = default;
    virtual ~CSexagenaryCycle() = default;

    // Stores the stem and branch index of lYear and returns true. Year 0 returns false and leaves
    // both outputs as they were.
    bool YearToStemBranch(std::int32_t lYear, int& nStem, int& nBranch) const;

    // The character of a stem or branch as a CString. Stem -1, and any index outside the tables,
    // give the empty string.
    void GetStemName(int nStem, CString& strName) const;
    void GetBranchName(int nBranch, CString& strName) const;

    // Pointer forms: the character, reading or animal of a valid index and true. Stem -1, and any
    // index outside the tables, give a null pointer and false. For a valid index the result is
    // always true.
    bool GetStemName(int nStem, const char*& pszName) const;
    bool GetBranchName(int nBranch, const char*& pszName) const;
    bool GetStemReading(int nStem, const char*& pszReading) const;
    bool GetBranchReading(int nBranch, const char*& pszReading) const;
    bool GetAnimalName(int nBranch, const char*& pszAnimal) const;

    // The index of the branch whose character equals pszName byte for byte (no trimming, no
    // readings or animals). Returns false, leaving nBranch as it was, when none does or pszName is
    // null.
    bool FindBranch(const char* pszName, int& nBranch) const;

    // Replaces years by the years of the span (both ends inclusive, year 0 skipped) whose branch is
    // nBranch and, unless nStem is -1, whose stem is nStem, in ascending order. The list is emptied
    // first (its storage released) and stays empty when the start is after the end, when a stem
    // and a branch of different parity are given (such as 甲 with 丑), or when an index is outside
    // its table (a stem other than -1..9, a branch other than 0..11).
    //
    // Matches recur every 60 years with a stem and every 12 without, counted across the missing
    // year 0. The time taken is proportional to the number of years returned, not to the span;
    // the list itself is not bounded: 甲子 over the whole 32-bit range is about 71.6 million years,
    // a branch alone about 358 million. The caller bounds the span when that matters. Should the
    // memory run out, std::bad_alloc propagates and years is left empty.
    void ListYears(int nStem, int nBranch, CYearRange span, std::vector<std::int32_t>& years) const;

    // Appends to names the characters of the branches that can pair with nStem: for stem s the
    // six branches s, s + 2, ..., s + 10 (modulo 12), in that order; for stem -1 all twelve in
    // index order. A stem outside -1..9 appends nothing. Entries point into the constant tables.
    void ListBranchesForStem(int nStem, std::vector<const char*>& names) const;

    // The earliest year of the pair within a window of w years from the bound (w = 60 with a stem,
    // 12 without): [lBound, lBound + w] on or after, [lBound - w, lBound] before, both ends
    // inclusive and year 0 skipped, as ListYears would list them. On success stores the year and
    // returns true; returns false, leaving lYear as it was, when the window holds no matching year
    // (a stem and branch of different parity, or an index outside its table).
    //
    // So on or after gives lBound itself when it matches; before gives the latest matching year
    // below lBound when lBound does not match, and lBound - w when it does. A window that crosses
    // year 0 holds one real year less: before a matching lBound it then holds only lBound itself.
    //
    // The window is clamped to the 32-bit range: near INT32_MAX (on or after) or INT32_MIN (before)
    // it ends at that bound instead of wrapping, and then may hold no matching year.
    // Costs constant time.
    bool FindNearestYear(int nStem, int nBranch, std::int32_t lBound, ENearestDirection eDirection,
                         std::int32_t& lYear) const;
};
