#!/usr/bin/env python3
"""Prints res/Strings.h: the program's texts as CP932 byte literals, each with its reading.

The texts are kept here in readable form; run this after changing one:
    python3 scripts/cp932-literals.py > res/Strings.h
"""

TEXTS = [
    # Messages
    ("kTextSocketInitFailed", "Windows ｿｹｯﾄの初期化に失敗しました。"),
    ("kTextBadPort", "このポート番号は指定できません"),
    ("kFormatSocketError", "ネットワークエラー:S %d\r\n"),
    ("kFormatBindError", "ネットワークエラー:B %d\r\n"),
    ("kFormatListenError", "ネットワークエラー:L %d\r\n"),
    ("kTextWorkerFailed", "サーバ待機を開始できません（スレッドを作れません）"),
    ("kTextTitleHasMarker", "タイトルバーに特殊な文字が含まれていると保存できません"),
    ("kTextNameHasMarker", "信号名に特殊な文字が含まれていると保存できません"),
    ("kTextSettingsWriteFailed", "設定ファイルに書き込めません"),
    ("kTextLogOpenFailed", "ログファイルが開けません\r\n"),
    ("kTextLogWriteFailed", "ログファイルに書き込めません\r\n"),
    ("kTextLogRowsLost", "ログファイルにもホームフォルダにも書き込めないため、ログの行が失われています\r\n"),
    ("kFormatLogRowsWaiting", "※ 書き込み待ち %zu 行  %s"),
    ("kTextPathNotCp932", "このファイル名には使えない文字が含まれています"),
    ("kTextExeDirNotCp932", "実行ファイルのフォルダ名に使えない文字が含まれています"),
    ("kTextExeNameNotCp932", "実行ファイルの名前に使えない文字が含まれています"),
    ("kTextExePathUnreadable", "実行ファイルの場所を読み取れません"),
    ("kTextDataDirNotCp932",
     "データフォルダ名に使えない文字が含まれています（XDG_DATA_HOME で別のフォルダを指定できます）"),
    ("kTextDataDirUnusable", "データフォルダを作成できないか、書き込めません\n"),
    ("kTextUiWakeUpFailed", "起動できません（画面スレッドを起こす通知を作れません）"),
    ("kTextSignalsFailed", "起動できません（終了シグナルを受け取れません）"),
    ("kFormatSettingsUnreadable", "設定ファイルを読み込めません: %s\r\n"),
    ("kTextMqttCredentialsRefused",
     "MQTTブローカーがユーザー名かパスワードを受け付けません。設定を確かめてください\r\n"),
    ("kTextMqttHasMarker", "MQTT送信の設定に「#$」を含む値は使えません"),
    ("kTextMqttTopicWildcard", "トピックの先頭に「+」や「#」は使えません"),
    # Window texts
    ("kFormatPeerLine", "接続元IPアドレス : %s"),
    ("kFormatLocalAddrLine", "現在のIPアドレス : %s"),
    ("kTextNoLocalAddr", "(なし)"),
    ("kTextStopped", "停止中"),
    ("kTextWaiting", "接続待機中"),
    ("kTextStartServer", "サーバ待機を開始する(&S)"),
    ("kTextStopServer", "サーバ待機を終了する(&S)"),
    ("kFormatSilentCount", "（無通信 %d 台）"),
    ("kTextMenuUnitList", "ユニット一覧(&U)..."),
    ("kTextMenuMqtt", "MQTT送信の設定(&M)..."),
    # The state of publishing
    ("kTextMqttNotSet", "未設定"),
    ("kTextMqttConnecting", "接続中"),
    ("kTextMqttConnected", "接続済み"),
    ("kTextMqttWaitingToReconnect", "再接続待ち"),
    ("kFormatMqttWaiting", "（未送信 %zu 件）"),
    ("kFormatMqttWaitingDropped", "（未送信 %zu 件、破棄 %llu 件）"),
    ("kFormatMqttStateLine", "MQTT送信 : %s"),
    ("kFormatMqttTopicDefault", "空欄: %s"),
    # The unit list
    ("kTextColumnAddress", "接続元IPアドレス"),
    ("kTextColumnTime", "最終報告"),
    ("kTextColumnCount", "報告回数"),
    ("kTextColumnState", "状態"),
    ("kTextStateReporting", "正常"),
    ("kTextStateSilent", "無通信"),
    ("kTextStatePrevious", "前回起動時"),
    ("kTextTraceBanner", "ここの部分は開発中のみ表示してるがリリースの時には枠ごと消す\r\n"),
    # Trace lines
    ("kTraceSettingsMissing", "cfgファイルが無かったからデフォルト\r\n"),
    ("kTraceSettingsFound", "cfgファイルが見つかったから処理する\r\n"),
    # CSV
    ("kFormatCsvHeader", "日付,時刻,接続元IPアドレス,%s,%s,%s,%s,%s\n"),
    # Dialog templates
    ("kTplLoadSettings", "設定の読込(&L)"),
    ("kTplSaveSettings", "設定の保存(&A)"),
    ("kTplChangeTitle", "タイトルバーの変更(&T)"),
    ("kTplPortLabel", "待ち受けポート番号(&P):"),
    ("kTplLogging", "ロギング有効(E)"),
    ("kTplFileLabel", "ファイル:"),
    ("kTplBrowse", "参照(&B)..."),
    ("kTplTitleDialog", "タイトルバーの変更"),
    ("kTplCancel", "ｷｬﾝｾﾙ"),
    ("kTplUnitListDialog", "ユニット一覧"),
    ("kTplSilentLabel", "無通信とみなす時間(&T):"),
    ("kTplSilentUnit", "秒（0 で無効）"),
    ("kTplApply", "適用(&A)"),
    ("kTplClear", "クリア"),
    ("kTplMqttDialog", "MQTT送信の設定"),
    ("kTplMqttHost", "ブローカー(&H):"),
    ("kTplMqttPort", "ポート(&P):"),
    ("kTplMqttTopic", "トピックの先頭(&T):"),
    ("kTplMqttUser", "ユーザー名(&U):"),
    ("kTplMqttPassword", "パスワード(&W):"),
    ("kTplMqttDiscovery", "Home Assistant の自動検出(&D)"),
    ("kTplMqttState", "状態:"),
    ("kTplCancelWide", "キャンセル"),
]


def literal(text):
    out, after_escape = [], False
    for byte in text.encode("cp932"):
        char = chr(byte)
        if byte >= 0x80 or char in '"\\' or byte < 0x20:
            escapes = {"\r": "\\r", "\n": "\\n", '"': '\\"', "\\": "\\\\"}
            out.append(escapes.get(char, "\\x%02x" % byte))
            after_escape = char not in escapes
        else:
            if after_escape and char in "0123456789abcdefABCDEF":
                out.append('" "')
            out.append(char)
            after_escape = False
    return '"' + "".join(out) + '"'


print("#pragma once\n")
print("// The program's texts in CP932, as they stand in its windows, messages and files.")
print("// Made by scripts/cp932-literals.py, which keeps them readable.\n")
for name, text in TEXTS:
    reading = text.replace("\r", "\\r").replace("\n", "\\n")
    print("// %s" % reading)
    print("inline constexpr char %s[] = %s;" % (name, literal(text)))
