// test_tmp.h - the folder each test process writes in, shared by every test program.
//
// CTest runs every GoogleTest case as a process of its own, many at once. Each process gets one
// folder, made fresh on first use, named after the case it runs (tmp_<program>/<Suite>.<Case>),
// and runs with that folder as its current directory, so even files written by a relative name
// stay private (TMPDIR points inside it too). VELUNAR_TEST_TMP names it; every test source sees
// this header without including it.
//
// Depends on: GoogleTest (the running case's name).
#pragma once

namespace velunar_test {

// This process's own folder (absolute, no trailing slash). Created on first use, emptied of
// whatever an earlier run of the same case left there.
const char* ProcessDir();

}  // namespace velunar_test

#define VELUNAR_TEST_TMP ::velunar_test::ProcessDir()
