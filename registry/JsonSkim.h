#pragma once

#include <QByteArrayView>

#include <span>

// Checks that bytes are one JSON object (RFC 8259: strict grammar, UTF-8 strings, no trailing
// text) and finds the raw text of some of its top-level members, without building the
// document: a registry's answer is mostly notices and contacts that nobody reads here, and
// building all of it was most of the time spent reading one. Keys are compared as written
// (a key spelled with escapes is not found); when a key repeats, the last one counts.
// found[i] is the value's text for wanted[i] (quotes included for a string), or empty.
// Returns false for anything that is not a well-formed object.
bool SkimJsonObject(QByteArrayView json, std::span<const QByteArrayView> wanted,
                    std::span<QByteArrayView> found);
