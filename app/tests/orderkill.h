#pragma once

// The program that the kill test runs and kills (app_tests --order-edits): starts the
// program on the order the test made and edits it row by row.
int runOrderEditsHelper();
