#pragma once

#include "EvaluationInput.h"
#include "Metrics.h"

#include <QByteArray>
#include <QString>

// The report on standard output: first the line
// "AP = 0.xxxx, 11-point AP = 0.xxxx, log-average miss rate = 0.xxxx", then
// the matching rule, "match = voc" or "match = unclaimed", then
// "operating point: score >= S (best F1 = F, precision = P, recall = R)",
// the threshold of Evaluation::operatingPoint written exactly, or
// "operating point: none (no true positive)", then one
// "name = value" line per count, then recall and precision over all
// detections (those on ignore regions left out). Four decimals, written with
// a decimal point whatever the locale.
QByteArray reportText(const Evaluation& e);

// Writes the curve as CSV, one row per detection, highest score first:
// "rank,photo,line,score,outcome,tp,fp,recall,precision,fppi,miss_rate"
// (line is the detection's line in its file, outcome tp, fp or ignored),
// numbers exact and locale-proof, as writeOutput writes. Otherwise returns
// false with error naming path.
bool writeCurveCsv(const QString& path, const Evaluation& e, const EvaluationInput& input,
                   QString& error);
