// The strategy engine's insides, for its own sources, its tests and its benchmark: card numbers
// (numbers.hpp), the fast category (fast_category.hpp), sets of cards and their suit classes
// (suit_classes.hpp), the tables and one hand's steps (tables.hpp), and the whole table's walk.
// docs/strategy.md walks through them with a worked hand.
#pragma once

#include "strategy/fast_category.hpp"
#include "strategy/numbers.hpp"
#include "strategy/strategy.hpp"
#include "strategy/suit_classes.hpp"
#include "strategy/tables.hpp"

// ---- What a pay table returns

// On tables already built for the pay table, or from nothing; threads is 1 or 2.
TableAnalysis analyse_pay_table(const SubsetTables& tables, const PayTotals& totals, int threads);
TableAnalysis analyse_pay_table(const PayTable& pays, int threads);

// ---- The figures docs/strategy.md quotes

static_assert(value_denominator == 8561520 && deal_count == 2869685);
static_assert(set_total == 317683 && class_total == 20308);
static_assert(suit_class_count[4] == 18187 && suit_class_count[5] == 150891);
