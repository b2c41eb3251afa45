#pragma once

// Fails the allocations of one operation in turn: from the Nth call on
// (memory exhausted) or the Nth call alone (a passing shortage, after which
// later calls succeed), for N = 1, 2, ... until a run meets no failure.

#include <cstdio>

class allocation_faults {
public:
    enum kind { exhausted, passing };

    // Called by the allocation shim: true when this call must fail.
    bool next_fails()
    {
        if (!armed)
            return false;
        ++calls;
        const bool fails = way == exhausted ? calls >= fail_at : calls == fail_at;
        failed += fails ? 1 : 0;
        return fails;
    }

    // Runs with the Nth allocation from here failing, the way given; false
    // when the run met no failure.
    template <class Run>
    bool run_failing(kind k, int n, Run run)
    {
        way = k;
        fail_at = n;
        calls = 0;
        failed = 0;
        armed = true;
        run();
        armed = false;
        return failed > 0;
    }

    // Runs the operation at every failure point, both ways: prepare and
    // check run with every allocation succeeding, run with the Nth failing.
    // check(way, n) is told where the failure was. Returns the number of
    // failure points met.
    template <class Prepare, class Run, class Check>
    int walk(Prepare prepare, Run run, Check check)
    {
        int points = 0;
        for (const kind k : {exhausted, passing}) {
            for (int n = 1;; ++n) {
                prepare();
                if (!run_failing(k, n, run))
                    break;
                check(k, n);
                ++points;
            }
        }
        return points;
    }

    static const char* name(kind k) { return k == exhausted ? "from call" : "only call"; }

private:
    bool armed = false;
    kind way = exhausted;
    int fail_at = 0;
    int calls = 0;
    int failed = 0;
};
