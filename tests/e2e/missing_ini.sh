#!/bin/bash
# Without Setup.INI beside it the program says so in one error box and ends, showing
# no other window.
source "$(dirname "$0")/lib.sh"

e2e_medium
e2e_start
e2e_expect_message "エラー" OK "Setup.iniが見つかりません."
e2e_screenshot message
e2e_answer OK
e2e_expect_exit_code 0
e2e_expect_shown "#32770 エラー"
