<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Cli</name>
    <message>
        <location filename="../src/cli/command.cpp" line="24"/>
        <source>Show this help and end.</source>
        <translation>このヘルプを表示して終了します。</translation>
    </message>
    <message>
        <location filename="../src/cli/command.cpp" line="25"/>
        <source>Print JSON for scripts instead of text.</source>
        <translation>文章の代わりにスクリプト向けの JSON を出力します。</translation>
    </message>
    <message>
        <location filename="../src/cli/command.cpp" line="30"/>
        <source>; see &apos;%1 --help&apos;</source>
        <translation>。&apos;%1 --help&apos; を参照してください</translation>
    </message>
    <message>
        <location filename="../src/cli/command.cpp" line="33"/>
        <source>Usage: %1 [options]</source>
        <translation>使い方: %1 [オプション]</translation>
    </message>
    <message>
        <location filename="../src/cli/command.cpp" line="41"/>
        <source>missing %1</source>
        <translation>%1 がありません</translation>
    </message>
    <message>
        <location filename="../src/cli/command.cpp" line="42"/>
        <source>unexpected &apos;%1&apos;</source>
        <translation>&apos;%1&apos; は不要です</translation>
    </message>
    <message>
        <location filename="../src/cli/command.cpp" line="58"/>
        <source>--since wants a date or a date and time in local time, like 2024-05-01 or 2024-05-01T13:30</source>
        <translation>--since には 2024-05-01 や 2024-05-01T13:30 のような日付か日時(ローカル時刻)を指定してください</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="23"/>
        <source>Usage: veskora-cli COMMAND [options]
See what VESKORA&apos;s rules will do, ask why a file moves or stays, list what moved, and undo moves.

Commands:
</source>
        <translation>使い方: veskora-cli コマンド [オプション]
VESKORA の移動条件が何をするかを表示し、ファイルが移動する理由・移動しない理由を説明し、移動したファイルを一覧し、移動を元に戻します。

コマンド:
</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="31"/>
        <source>this help, or a command&apos;s: help COMMAND</source>
        <translation>このヘルプ、またはコマンドのヘルプ: help コマンド</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="33"/>
        <source>
&apos;veskora-cli help COMMAND&apos; tells more of each command; see also veskora-cli(1).
</source>
        <translation>
各コマンドの詳細は &apos;veskora-cli help コマンド&apos; で表示されます。veskora-cli(1) も参照してください。
</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="41"/>
        <source>the commands are %1</source>
        <translation>コマンドは %1 です</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="42"/>
        <source>did you mean &apos;%1&apos;?</source>
        <translation>&apos;%1&apos; のことですか?</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="43"/>
        <source>unknown command &apos;%1&apos;; %2</source>
        <translation>&apos;%1&apos; というコマンドはありません。%2</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="51"/>
        <source>unexpected &apos;%1&apos;; see &apos;veskora-cli --help&apos;</source>
        <translation>&apos;%1&apos; は不要です。&apos;veskora-cli --help&apos; を参照してください</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="74"/>
        <source>a command, or help</source>
        <translation>コマンド、または help</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="78"/>
        <source>; see &apos;veskora-cli --help&apos;</source>
        <translation>。&apos;veskora-cli --help&apos; を参照してください</translation>
    </message>
    <message>
        <location filename="../src/cli/command_set.cpp" line="89"/>
        <source>no command given; see &apos;veskora-cli --help&apos;</source>
        <translation>コマンドが指定されていません。&apos;veskora-cli --help&apos; を参照してください</translation>
    </message>
    <message>
        <location filename="../src/cli/history_command.cpp" line="21"/>
        <source>the moves made, newest first, and what became of each</source>
        <translation>移動履歴を新しい順に、それぞれの今の状態とともに表示します</translation>
    </message>
    <message>
        <location filename="../src/cli/history_command.cpp" line="22"/>
        <source>List the moves VESKORA made, newest first: when, which file, the rule that decided it and its place in the list, from where to where, and its state now (moved, put back, changed since the move, not found).</source>
        <translation>VESKORA が行った移動を新しい順に表示します: 日時、ファイル名、移動を決めた移動条件とその順位、移動元 → 移動先、今の状態 (移動済み、元に戻しました、移動後に変更されています、見つかりません)。</translation>
    </message>
    <message>
        <location filename="../src/cli/history_command.cpp" line="69"/>
        <source>No moves recorded.</source>
        <translation>移動の記録はありません。</translation>
    </message>
    <message>
        <location filename="../src/cli/history_command.cpp" line="75"/>
        <source>Only moves made at or after TIME, local time: YYYY-MM-DD, YYYY-MM-DDThh:mm or YYYY-MM-DDThh:mm:ss (a blank may stand for the T).</source>
        <translation>TIME 以降の移動だけを表示します。ローカル時刻で YYYY-MM-DD、YYYY-MM-DDThh:mm または YYYY-MM-DDThh:mm:ss (T の代わりに空白も可)。</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="21"/>
        <source>what one cycle would do now, moving nothing</source>
        <translation>今の監視で何が起きるかを、何も移動せずに表示します</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="22"/>
        <source>Show what one cycle would do now, moving nothing: whether VESKORA is running and moves files by itself, then for every desktop file an enabled row matches, the row and what becomes of the file.</source>
        <translation>今の監視で何が起きるかを、何も移動せずに表示します: VESKORA が起動しているか、移動を自動実行するか、そして有効な移動条件に当てはまるデスクトップのファイルごとに、その移動条件とファイルがどうなるか。</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="34"/>
        <location filename="../src/cli/why_command.cpp" line="74"/>
        <source>cannot list the desktop folder %1</source>
        <translation>デスクトップフォルダ %1 の一覧を取得できません</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="68"/>
        <source>VESKORA is running.</source>
        <translation>VESKORA は起動しています。</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="68"/>
        <source>VESKORA is not running.</source>
        <translation>VESKORA は起動していません。</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="69"/>
        <source>Automatic moving is on.</source>
        <translation>移動を自動実行: オン</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="69"/>
        <source>Automatic moving is off.</source>
        <translation>移動を自動実行: オフ</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="77"/>
        <source>No rules in %1.</source>
        <translation>%1 に移動条件がありません。</translation>
    </message>
    <message>
        <location filename="../src/cli/plan_command.cpp" line="78"/>
        <source>%1 of %2 files in %3 match an enabled row; %4 would move.</source>
        <translation>%3 の %2 件のファイルのうち %1 件が有効な移動条件に当てはまり、%4 件が移動します。</translation>
    </message>
    <message>
        <location filename="../src/cli/services.cpp" line="16"/>
        <source>cannot read the rule file %1</source>
        <translation>移動条件のファイル %1 を読めません</translation>
    </message>
    <message>
        <location filename="../src/cli/services.cpp" line="20"/>
        <source>the rule file %1 holds a record that cannot be read; the rows before it are used, as VESKORA does</source>
        <translation>移動条件のファイル %1 に読めない記録があります。VESKORA と同じく、その前までの移動条件を使います</translation>
    </message>
    <message>
        <location filename="../src/cli/services.cpp" line="33"/>
        <source>cannot read the move journal %1: %2</source>
        <translation>移動の記録 %1 を読めません: %2</translation>
    </message>
    <message>
        <location filename="../src/cli/services.cpp" line="37"/>
        <source>some of the move journal cannot be read; it is left out</source>
        <translation>移動の記録の一部が読めないため、その部分は除きます</translation>
    </message>
    <message>
        <location filename="../src/cli/services.cpp" line="43"/>
        <source>there is no desktop folder to tidy (see XDG_DESKTOP_DIR)</source>
        <translation>整理するデスクトップフォルダがありません (XDG_DESKTOP_DIR を参照)</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="53"/>
        <source>would put back %1 from %2 to %3</source>
        <translation>%1 を %2 から %3 へ戻します (試行のみ)</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="54"/>
        <source>put back %1 from %2 to %3</source>
        <translation>%1 を %2 から %3 へ戻しました</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="57"/>
        <source>skipped %1: it is no longer in %2</source>
        <translation>%1 を見送りました: %2 にもうありません</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="59"/>
        <source>skipped %1: %2 is not the file that was moved, or has changed since</source>
        <translation>%1 を見送りました: %2 は移動したファイルではないか、移動後に変更されています</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="62"/>
        <source>skipped %1: %2 exists; nothing was replaced</source>
        <translation>%1 を見送りました: %2 があります。何も置き換えていません</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="65"/>
        <source>skipped %1: another program is writing it; try again later</source>
        <translation>%1 を見送りました: 別のプログラムが書き込み中です。あとでもう一度お試しください</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="67"/>
        <source>skipped %1: %2 is missing or not a folder</source>
        <translation>%1 を見送りました: %2 がないか、フォルダではありません</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="69"/>
        <source>skipped %1: it was taken from %2, which is not the desktop folder now</source>
        <translation>%1 を見送りました: 移動元の %2 は今のデスクトップフォルダではありません</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="72"/>
        <source>refused %1: the journal&apos;s record of it names no plain file in an absolute folder</source>
        <translation>%1 を拒否しました: 移動の記録が、絶対パスのフォルダにある通常のファイルを指していません</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="78"/>
        <source>skipped %1: it could not be moved back</source>
        <translation>%1 を見送りました: 元に戻せませんでした</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="84"/>
        <source>put moved files back on the desktop</source>
        <translation>移動したファイルをデスクトップへ戻します</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="85"/>
        <source>Put files that VESKORA moved back where they came from, newest first, never replacing a file. Without --last, --since or --all, the last move is undone.</source>
        <translation>VESKORA が移動したファイルを新しい順に元の場所へ戻します。ファイルを置き換えることはありません。--last、--since、--all がなければ直前の移動を元に戻します。</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="100"/>
        <source>give one of --last, --since and --all</source>
        <translation>--last、--since、--all のどれか一つを指定してください</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="105"/>
        <source>--last wants a count of 1 or more</source>
        <translation>--last には 1 以上の数を指定してください</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="124"/>
        <source>the move journal %1 is not yours alone (another owner, or others may write it); nothing is undone by it</source>
        <translation>移動の記録 %1 はあなただけのものではありません (所有者が違うか、他の人も書き込めます)。これによる取り消しは行いません</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="147"/>
        <source>the move journal stayed locked by another process; what was put back is in the log only</source>
        <translation>移動の記録が別のプロセスにロックされたままです。戻したファイルは移動ログにだけ記録されています</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="168"/>
        <source>Nothing to undo.</source>
        <translation>元に戻す移動はありません。</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="171"/>
        <source>%1 would be put back, %2 would be skipped.</source>
        <translation>%1 件を戻し、%2 件を見送ります (試行のみ)。</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="171"/>
        <source>%1 put back, %2 skipped.</source>
        <translation>%1 件を戻し、%2 件を見送りました。</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="178"/>
        <source>Undo the newest N moves.</source>
        <translation>新しい順に N 件の移動を元に戻します。</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="180"/>
        <source>Undo every move made at or after TIME, local time: YYYY-MM-DD, YYYY-MM-DDThh:mm or YYYY-MM-DDThh:mm:ss (a blank may stand for the T).</source>
        <translation>TIME 以降のすべての移動を元に戻します。ローカル時刻で YYYY-MM-DD、YYYY-MM-DDThh:mm または YYYY-MM-DDThh:mm:ss (T の代わりに空白も可)。</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="183"/>
        <source>Undo every move the journal still holds.</source>
        <translation>記録に残っているすべての移動を元に戻します。</translation>
    </message>
    <message>
        <location filename="../src/cli/undo_command.cpp" line="184"/>
        <source>Say what would be put back; change nothing.</source>
        <translation>何を戻すかを表示するだけで、何も変更しません。</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="31"/>
        <source>hidden (the name begins with &quot;.&quot;)</source>
        <translation>隠しファイル (名前が &quot;.&quot; で始まります)</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="34"/>
        <source>a folder</source>
        <translation>フォルダ</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="35"/>
        <source>not a regular file, nor a link to one</source>
        <translation>通常のファイルでも、そのリンクでもありません</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="47"/>
        <source>why the rules move a desktop file or leave it</source>
        <translation>移動条件がデスクトップのファイルを移動する理由・移動しない理由を説明します</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="48"/>
        <source>Explain why the rules move a desktop file or leave it: every row in order (an unticked one named as skipped), whether it matches and why, and what the first match does. FILE is a name on the desktop or a path to it.</source>
        <translation>移動条件がデスクトップのファイルを移動する理由・移動しない理由を説明します: すべての移動条件を順に (チェックのないものは対象外として)、当てはまるかとその理由、最初に当てはまった移動条件が何をするか。FILE はデスクトップ上の名前かそのパスです。</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="64"/>
        <source>not in the desktop folder %1 (VESKORA looks only at what lies directly in it): %2</source>
        <translation>デスクトップフォルダ %1 の中にありません (VESKORA はその直下だけを見ます): %2</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="70"/>
        <source>no %1 in the desktop folder %2</source>
        <translation>デスクトップフォルダ %2 に %1 はありません</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="79"/>
        <source>gone from %1: %2</source>
        <translation>%1 からなくなりました: %2</translation>
    </message>
    <message>
        <location filename="../src/cli/why_command.cpp" line="96"/>
        <source>%1: %2: VESKORA never looks at it, whatever the rules say.</source>
        <translation>%1: %2: 移動条件にかかわらず、VESKORA はこれを扱いません。</translation>
    </message>
</context>
</TS>
