cartlist_test(tst_reports reports/tst_reports.cpp cartlist_reports)
