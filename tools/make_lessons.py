#!/usr/bin/env python3
"""Writes our own lesson files into data/lessons/ as Shift-JIS (CP932) with CR LF.

The lessons are kept here in UTF-8, one tuple per practice line (the text to
type, the note shown under it), followed by the introduction shown before
practice. Run it after changing a lesson:   tools/make_lessons.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "data", "lessons")

BASIC = ([
    ("asdf", "左手のホームポジション：小指から人差し指まで"),
    ("jkl;", "右手のホームポジション：人差し指から小指まで"),
    ("fjfjfj", "人差し指：突起のあるFとJ"),
    ("dkdkdk", "中指：DとK"),
    ("slslsl", "薬指：SとL"),
    ("a;a;a;", "小指：Aとセミコロン"),
    ("asdfjkl;", "ホームポジションを左から右へ"),
    (";lkjfdsa", "ホームポジションを右から左へ"),
    ("fgfgfg", "左人差し指を右へ：G"),
    ("jhjhjh", "右人差し指を左へ：H"),
    ("frfvfr", "左人差し指：上のR、下のV"),
    ("ftfbft", "左人差し指：上のT、下のB"),
    ("jujmju", "右人差し指：上のU、下のM"),
    ("jyjnjy", "右人差し指：上のY、下のN"),
    ("dedcde", "左中指：上のE、下のC"),
    ("kik,ki", "右中指：上のI、下のカンマ"),
    ("swsxsw", "左薬指：上のW、下のX"),
    ("lol.lo", "右薬指：上のO、下のピリオド"),
    ("aqazaq", "左小指：上のQ、下のZ"),
    (";p;/;p", "右小指：上のP、下のスラッシュ"),
    ("qwert", "上の段を左手で"),
    ("yuiop", "上の段を右手で"),
    ("zxcvb", "下の段を左手で"),
    ("nm,./", "下の段を右手で"),
    ("fjdksla;", "両手で交互に外側へ"),
    ("ghfjdksl", "両手の人差し指から外へ"),
    ("the", "英単語：ザ（人差し指と中指）"),
    ("and", "英単語：アンド"),
    ("ask", "英単語：たずねる"),
    ("sea", "英単語：海"),
    ("jam", "英単語：ジャム"),
    ("desk", "英単語：机"),
    ("milk", "英単語：牛乳"),
    ("hand", "英単語：手"),
    ("flag", "英単語：旗"),
    ("salad", "英単語：サラダ"),
], "基本指練習\r\n\r\n"
   "ホームポジション（左手はASDF、右手はJKL;）に指を置いてから始めましょう。\r\n"
   "FとJのキーには小さな突起があります。\r\n"
   "キーボードを見ずに、画面に出た文字を探して打ちます。\r\n"
   "上に出る説明は、どの指で打つかの目安です。\r\n")

ROMAJI = ([
    ("sakura", "桜"), ("yama", "山"), ("kawa", "川"), ("sora", "空"), ("umi", "海"),
    ("hana", "花"), ("mizu", "水"), ("tomodachi", "友達"), ("gakkou", "学校"), ("sensei", "先生"),
    ("densha", "電車"), ("kuruma", "車"), ("jitensha", "自転車"), ("tenki", "天気"), ("ame", "雨"),
    ("yuki", "雪"), ("asa", "朝"), ("hiru", "昼"), ("yoru", "夜"), ("ohayou", "おはよう"),
    ("konnichiha", "こんにちは"), ("arigatou", "ありがとう"), ("sayounara", "さようなら"),
    ("oishii", "おいしい"), ("gohan", "ご飯"), ("ocha", "お茶"), ("shinbun", "新聞"), ("kippu", "切符"),
    ("kyou", "今日"), ("ashita", "明日"), ("kinou", "昨日"), ("shashin", "写真"), ("ryokou", "旅行"),
    ("toshokan", "図書館"), ("byouin", "病院"), ("eki", "駅"), ("kaisha", "会社"), ("shigoto", "仕事"),
    ("nihongo", "日本語"), ("kanji", "漢字"), ("hiragana", "ひらがな"), ("katakana", "カタカナ"),
], "ローマ字練習\r\n\r\n"
   "身近なことばをローマ字で打ちます。\r\n"
   "上にことばが出るので、読みを思い浮かべながら打ちましょう。\r\n"
   "「ん」はnn、小さい「っ」は次の子音を二つ重ねます（kippu）。\r\n")

NUMBERS = ([
    ("1234", "左手で数字：1と2は小指と薬指"),
    ("7890", "右手で数字：7は人差し指、0は小指"),
    ("5656", "5は左人差し指、6は右人差し指"),
    ("1029", "両手の数字を交互に"),
    ("2026", "年：二〇二六"),
    ("03-1234-5678", "電話番号：ハイフンは右小指"),
    ("100-0001", "郵便番号"),
    ("3.14", "円周率：ピリオドは右薬指"),
    ("1,000", "千：カンマは右中指"),
    ("12:30", "時刻：コロンは右小指"),
    ("2026/12/07", "日付：スラッシュは右小指"),
    ("10^3", "べき乗：キャレットは右小指"),
    ("user@example", "アットマーク：Pの右"),
    ("a[1]", "角かっこ：@の右とコロンの右"),
    ("why?", "疑問符：シフトとスラッシュ"),
    ("yes!", "感嘆符：シフトと1"),
    ("\"ok\"", "二重引用符：シフトと2"),
    ("it's", "引用符：シフトと7"),
    ("c:\\data", "円記号（バックスラッシュ）：右上の端"),
    ("98-76", "数字とハイフンを続けて"),
], "数字と記号の練習\r\n\r\n"
   "数字の段と記号のキーを練習します。\r\n"
   "数字の段へは、ホームポジションから指をまっすぐ上に伸ばします。\r\n"
   "打ったら指をホームポジションに戻しましょう。\r\n")

LESSONS = {"基本指練習.txt": BASIC, "ローマ字練習.txt": ROMAJI, "数字と記号.txt": NUMBERS}


def lesson_bytes(lines, intro):
    out = b""
    for text, note in lines:
        assert "{" not in text and "\r" not in text and "\n" not in text
        out += text.encode("cp932") + b"{" + note.encode("cp932") + b"\r\n"
    return out + b"\r\n" + intro.encode("cp932")


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, (lines, intro) in LESSONS.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(lesson_bytes(lines, intro))


if __name__ == "__main__":
    main()
