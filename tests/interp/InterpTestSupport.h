// Helpers of the interpretation tests: fixtures written in UTF-8 and turned into code page
// 1251 by iconv (an encoder independent of the program's own), aspect pages.
#pragma once

#include "core/Aspects.h"
#include "core/AstroMath.h"
#include "core/Text.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace qor::test {

// The bytes of a UTF-8 text in code page 1251, as iconv writes them.
inline std::string Iconv1251(const std::string& utf8) {
    TempDir d;
    const auto in = d.Write("in.txt", utf8);
    const std::string cmd = "iconv -f UTF-8 -t CP1251 '" + in.string() + "'";
    std::FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    EXPECT_EQ(::pclose(p), 0) << "iconv failed";
    return out;
}

// The output of a shell command line; `status` gets its exit status.
inline std::string Shell(const std::string& cmd, int* status = nullptr) {
    std::FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    std::size_t n;
    while (p && (n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = p ? ::pclose(p) : -1;
    if (status) *status = st;
    return out;
}

// LF line ends to CR LF.
inline std::string CrLf(const std::string& lf) {
    std::string out;
    for (char c : lf) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// A fixture of tests/fixtures/interp in code page 1251.
inline std::string Fixture1251(const std::string& name) {
    return Iconv1251(TempDir::Read(std::filesystem::path(QOR_FIXTURES_DIR) / "interp" / name));
}

// An aspect page of the given angles in degrees, numbered 1.. in that order.
inline AspDefTable PageOfAngles(std::initializer_list<double> degrees) {
    AspDefTable t;
    for (double a : degrees) {
        ++t.AspCount;
        t.Asp[static_cast<std::size_t>(t.AspCount)].AspAngle = a * kDegToRad;
        t.Asp[static_cast<std::size_t>(t.AspCount)].AspKind = 'M';
    }
    return t;
}

// The built-in page of 14 aspects, conjunction .. opposition.
inline AspDefTable BuiltInPage() {
    AspDefTable t;
    std::vector<std::string> lines = BuiltInAspectLines();
    ReadAspectTable(t, lines);
    return t;
}

} // namespace qor::test
