#pragma once

// Which person a detection is measured against.
enum class MatchRule {
    // PASCAL VOC's: the person it overlaps most, claimed or not; a second
    // detection of a claimed person is a false positive.
    Voc,
    // The pedestrian benchmarks': the person it overlaps most among those no
    // detection claimed yet.
    Unclaimed,
};

// The rules by their names on the command line and in the report.
struct MatchRuleName {
    MatchRule rule;
    const char* name;
};
inline constexpr MatchRuleName kMatchRuleNames[] = {
    {MatchRule::Voc, "voc"},
    {MatchRule::Unclaimed, "unclaimed"},
};

inline const char* matchRuleName(MatchRule rule)
{
    for (const MatchRuleName& n : kMatchRuleNames) {
        if (n.rule == rule)
            return n.name;
    }
    return "";
}
