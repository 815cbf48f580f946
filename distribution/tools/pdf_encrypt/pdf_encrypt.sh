#!/bin/bash
# PDF加密解密: puts an opening password on a PDF (AES-256), or takes it off with the password.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="PDF加密解密"
TOOL_INPUT_NAME="要加密或解密的 PDF"
TOOL_FILTER="PDF 文件 | *.pdf *.PDF"
MODE=""        # 加密 or 解密; empty: decided by the file
PASSWORD=""
PASSWORD_GIVEN=0

tool_needs() { qb_need qpdf qpdf; }

is_encrypted() { qpdf --is-encrypted -- "$1" >/dev/null 2>&1; }

# An encrypted PDF cannot pass qpdf --check without its password: only its header is checked here.
tool_check() {
  if is_encrypted "$1"; then
    qb_expect_readable "$1"
    [ "$(head -c 5 -- "$1")" = "%PDF-" ] || qb_fail 2 "这不是 PDF 文件：$(basename -- "$1")"
  else
    qb_expect_pdf "$1"
  fi
}

tool_output() {
  if is_encrypted "$1"; then qb_output_beside "$1" "解密" pdf; else qb_output_beside "$1" "加密" pdf; fi
}

tool_options() {
  local input=${QB_INPUTS[0]} answer first second
  if is_encrypted "$input"; then
    MODE=解密
    PASSWORD_GIVEN=1
    # Asked again until it opens the file, so a typing slip costs no second start.
    while :; do
      PASSWORD=$(zenity --password --title="$TOOL_TITLE：这个 PDF 已加密，请输入密码以解密" --ok-label="解密" \
        --cancel-label="取消" 2>/dev/null) || return 1
      printf '%s\n' "$PASSWORD" >"$QB_WORK/password"
      qpdf --password-file="$QB_WORK/password" --show-npages -- "$input" >/dev/null 2>&1 && return
      qb_error_window "密码不正确，请重新输入。"
    done
  fi
  MODE=加密
  while :; do
    answer=$(zenity --forms --title="$TOOL_TITLE" --text="为 $(basename -- "$input") 设置打开密码（AES-256 加密）：" \
      --add-password="密码" --add-password="再次输入密码" --separator=$'\n' --ok-label="加密" \
      --cancel-label="取消" 2>/dev/null) || return 1
    first=$(sed -n 1p <<<"$answer")
    second=$(sed -n 2p <<<"$answer")
    if [ -z "$first" ]; then
      qb_error_window "密码不能为空。"
    elif [ "$first" != "$second" ]; then
      qb_error_window "两次输入的密码不一致，请重新输入。"
    else
      PASSWORD=$first
      PASSWORD_GIVEN=1
      return
    fi
  done
}

# Batch options: 加密|解密 PASSWORD. Without them an encrypted PDF is decrypted with an empty
# password (enough for one that only restricts printing or copying).
tool_batch_options() {
  if [ $# -ge 1 ]; then
    case $1 in
      加密 | 解密) MODE=$1 ;;
      *) qb_fail 1 "第一个选项只能是 加密 或 解密：$1" ;;
    esac
  fi
  if [ $# -ge 2 ]; then
    PASSWORD=$2
    PASSWORD_GIVEN=1
  fi
  local encrypted=0
  is_encrypted "${QB_INPUTS[0]}" && encrypted=1
  [ -n "$MODE" ] || { [ "$encrypted" = 1 ] && MODE=解密 || MODE=加密; }
  if [ "$MODE" = 加密 ]; then
    [ "$encrypted" = 0 ] || qb_fail 2 "这个 PDF 已经加密，请先解密：$(basename -- "${QB_INPUTS[0]}")"
    [ -n "$PASSWORD" ] || qb_fail 1 "加密需要密码：--batch 输入.pdf 输出.pdf 加密 密码"
  else
    [ "$encrypted" = 1 ] || qb_fail 2 "这个 PDF 没有加密，不需要解密：$(basename -- "${QB_INPUTS[0]}")"
  fi
}

tool_run() {
  local input=$1 output=$2 temp status
  temp=$(qb_temp_beside "$output")
  # The password goes to qpdf in a private file, not on its command line where others could see it.
  printf '%s\n' "$PASSWORD" >"$QB_WORK/password"
  echo 20
  if [ "$MODE" = 加密 ]; then
    echo "# 正在加密……"
    # A job file: the password is a JSON string there, never an argument qpdf could take for
    # an option (a password may start with "-"), and never on a command line others can read.
    printf '{"inputFile": %s, "outputFile": %s, "encrypt": {"userPassword": %s, "ownerPassword": %s, "256bit": {}}}\n' \
      "$(qb_json_string "$input")" "$(qb_json_string "$temp")" "$(qb_json_string "$PASSWORD")" \
      "$(qb_json_string "$PASSWORD")" >"$QB_WORK/job.json"
    qpdf --warning-exit-0 --job-json-file="$QB_WORK/job.json" 2>"$QB_WORK/qpdf.log"
    status=$?
  else
    echo "# 正在解密……"
    qpdf --warning-exit-0 --password-file="$QB_WORK/password" --decrypt -- "$input" "$temp" 2>"$QB_WORK/qpdf.log"
    status=$?
  fi
  rm -f -- "$QB_WORK/password" "$QB_WORK/job.json"
  if [ "$status" -ne 0 ]; then
    rm -f -- "$temp"
    if grep -qi 'invalid password' "$QB_WORK/qpdf.log"; then
      [ "$PASSWORD_GIVEN" = 1 ] && qb_fail 2 "密码不正确，无法解密：$(basename -- "$input")"
      qb_fail 2 "这个 PDF 需要密码才能打开：--batch 输入.pdf 输出.pdf 解密 密码"
    fi
    qb_fail 5 "${MODE}失败：$(qb_log_tail "$QB_WORK/qpdf.log")"
  fi
  qb_publish "$temp" "$output"
  echo 100
}

tool_done() {
  if [ "$MODE" = 加密 ]; then
    qb_info_window "加密完成，打开这个 PDF 时需要输入密码。请记住密码，忘记后无法找回。
已保存到：$2"
  else
    qb_info_window "解密完成，打开这个 PDF 不再需要密码。
已保存到：$2"
  fi
}

qb_main "$@"
