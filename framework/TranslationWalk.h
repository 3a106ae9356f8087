#pragma once

#include "framework/TClassMode.h"
#include "framework/TTP_Retranslator.h"
#include "framework/TTranslatable.h"

#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

// What the window translation keeps between runs, and what a run collects.
struct TTranslationSettings {
    // Kept so that a class stands before its ancestors.
    std::vector<TClassMode> GlobalModes;
    // Both cleared at the end of every run.
    std::vector<TClassMode> PerCallModes;
    TPropertyNames IgnoreList;
    TTP_Retranslator* Recording = nullptr;
};

// One translation run over an object and everything reachable from it; each
// object is visited once.
class TTranslationWalk {
public:
    TTranslationWalk(TTranslationSettings& settings, std::string textDomain);

    void Run(const TTranslatable& root);

private:
    bool HandledByClassMode(const TTranslatable& object, TPropertyNames& skipped) const;
    void TranslateProperties(const TTranslatable& object, const std::string& name, const TPropertyNames& skipped);
    void TranslateProperty(const TTranslatable& object, const TTranslatable::TProperty& property);
    void QueueOwned(const TTranslatable& object);

    TTranslationSettings& settings_;
    std::string textDomain_;
    std::deque<std::pair<TTranslatable, std::string>> queue_;
    std::set<const void*> visited_;
};
