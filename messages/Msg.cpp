#include "Msg.h"

#include <array>

namespace messages {

namespace {

enum class Title { Fixed, Target };

struct Entry {
    const char16_t* category;
    const char16_t* key;
    const char16_t* title; // ignored when titleFrom == Target
    Title titleFrom;
    const char16_t* prefix;
    bool usesTarget;
    const char16_t* suffix;
    BoxKind kind;
};

constexpr auto F = Title::Fixed;
constexpr auto N = BoxKind::AskDefaultNo;
constexpr auto Y = BoxKind::AskDefaultYes;
constexpr auto I = BoxKind::Inform;
constexpr auto W = BoxKind::Warn;

// The catalogue. Texts are joined as prefix + target + suffix with nothing added.
constexpr Entry kEntries[] = {
    // 登録
    {u"登録", u"確認", u"登録の確認", F, u"", true, u" を登録します。よろしいですか", Y},
    {u"登録", u"完了", u"登録完了", F, u"", true, u" を登録しました。", I},
    {u"登録", u"データ確認", u"登録の確認", F, u"データ ", true, u" を登録します。よろしいですか", Y},
    {u"登録", u"コード指定", u"登録注意", F, u"コードが指定されていません。コードを指定してください。", false, u"", I},
    {u"登録", u"完了2", u"登録完了", F, u"データ  ", true, u" を登録しました。", I},
    {u"登録", u"チェック", u"入力項目のチェック", F, u"入力必須項目が空白です。", false, u"", I},
    {u"登録", u"商品未登録", u"入力項目のチェック", F, u"登録商品データがありません。", false, u"", I},
    {u"登録", u"データなし", u"入力項目のチェック", F, u"登録がデータがありません。", false, u"", I},
    {u"登録", u"失敗", u"登録の失敗", F, u"", true, u" を登録できませんでした。ディスクの空きと書き込みの権限を確認してください。入力した内容は画面に残っています。", W},
    {u"登録", u"取込確認", u"支払先の取込", F, u"次の支払先を追加します。よろしいですか\n\n", true, u"", Y},
    {u"登録", u"取込完了", u"登録完了", F, u"支払先 ", true, u" 件を追加しました。", I},
    {u"登録", u"未登録確認", u"未登録の確認", F, u"", true, u" の変更がまだ登録されていません。登録してから進みますか", BoxKind::AskYesNoCancel},
    // 転記
    {u"転記", u"確認", u"登録の確認", F, u"", true, u" に転記します。よろしいですか", N},
    // 削除
    {u"削除", u"確認", u"削除の確認", F, u"すべてのデータを削除します。よろしいですか", false, u"", N},
    {u"削除", u"伝票確認2", u"削除の確認", F, u"", true, u" を削除します。よろしいですか", N},
    {u"削除", u"指定確認", u"削除の確認", F, u"指定された ", true, u" を削除します。よろしいですか", N},
    {u"削除", u"完了", u"削除の完了", F, u"データ ", true, u" を削除しました。", I},
    {u"削除", u"伝票確認", u"削除の確認", F, u"伝票 ", true, u" を削除します。よろしいですか", N},
    {u"削除", u"データ確認", u"削除の確認", F, u"データ ", true, u" を削除します。よろしいですか", N},
    {u"削除", u"伝票完了", u"削除の完了", F, u"伝票 ", true, u" を削除しました。", I},
    {u"削除", u"削除不可能", u"削除の拒否", F, u"", true, u"削除できません。", I},
    {u"削除", u"伝票完了2", u"削除の完了", F, u"", true, u" を削除しました。", I},
    {u"削除", u"削除不可", u"削除不可", F, u"", true, u" にデータがあるため削除できません。メンテナンス機能で削除してください。", I},
    {u"削除", u"失敗", u"削除の失敗", F, u"", true, u" を削除できませんでした。ディスクの空きと書き込みの権限を確認してください。", W},
    {u"削除", u"行確認", u"削除の確認", F, u"次の行を削除します。登録済みの支払予定表からもすぐに削除されます。よろしいですか\n\n", true, u"", N},
    {u"削除", u"支払先全件", u"削除の確認", F, u"すべての支払先を削除します。よろしいですか", false, u"", N},
    {u"削除", u"ヒント確認", u"削除の確認", F, u"このボタンのヒントを削除します。よろしいですか", false, u"", N},
    // 入力
    {u"入力", u"上行空白", u"入力注意", F, u"上の行が空白です。データは連続して指定してください。", false, u"", I},
    {u"入力", u"区分なし", u"入力注意", F, u"区分が指定されていません。区分を指定してください", false, u"", W},
    {u"入力", u"必須入力なし", u"入力注意", F, u"", true, u"指定されていません。確認してください", W},
    {u"入力", u"重複", u"入力注意", F, u"", true, u"が重複しています。確認してください", W},
    {u"入力", u"範囲外", u"入力注意", F, u"", true, u"が指定範囲外です。確認してください", W},
    {u"入力", u"数字のみ", u"入力注意", F, u"", true, u"には数字以外使用できません", W},
    {u"入力", u"日付不正", u"入力注意", F, u"", true, u" は表示中の月の日付になりません。日付を確認してください", W},
    {u"入力", u"日付なし", u"入力注意", F, u"次の行は日付か支払先がないため登録できません。入力してから登録してください。\n", true, u"", W},
    {u"入力", u"書込失敗", u"入力の失敗", F, u"", true, u" を書き込めませんでした。ディスクの空きと書き込みの権限を確認してください。入力した内容は画面に残っています。", W},
    {u"入力", u"行数超過", u"読込の注意", F, u"この月には ", true, u" 行が登録されていますが、画面に表示できるのは 200 行までです。表示していない行は月計に含まれず、登録してもそのまま残ります。", W},
    {u"入力", u"前月なし", u"前月複写", F, u"", true, u" には登録された行がありません。", I},
    {u"入力", u"前月入らず", u"前月複写", F, u"空いている行が足りないため、", true, u" 行が入りません。複写はしませんでした。", W},
    {u"入力", u"桁あふれ", u"入力注意", F, u"", true, u"が扱える範囲を超えています。-922,337,203,685,477 から 922,337,203,685,477 までの金額を指定してください", W},
    {u"入力", u"金額不正", u"入力注意", F, u"", true, u" は金額として読めないため、欄は元の値のままです", W},
    {u"入力", u"貼付不可", u"貼り付けの注意", F, u"次の値は貼り付けませんでした。ほかの値は貼り付けました。\n", true, u"", W},
    {u"入力", u"貼付金額", u"入力注意", F, u"金額になりません", false, u"", W},
    {u"入力", u"貼付桁", u"入力注意", F, u"扱える範囲を超えています", false, u"", W},
    {u"入力", u"貼付日付", u"入力注意", F, u"表示中の月の日付になりません", false, u"", W},
    {u"入力", u"貼付計算", u"入力注意", F, u"計算される欄です", false, u"", W},
    {u"入力", u"貼付枠外", u"入力注意", F, u"貼り付ける欄がありません", false, u"", W},
    {u"入力", u"貼付ほか", u"入力注意", F, u"ほか ", true, u" 件の値も貼り付けませんでした", W},
    {u"入力", u"貼付書込", u"入力注意", F, u"書き込めませんでした", false, u"", W},
    {u"入力", u"名前長すぎ", u"", F, u"", true, u" 文字あります。支払先名は 100 文字までです", I},
    {u"入力", u"名前制御文字", u"", F, u"使えない制御文字があります：", true, u"", I},
    {u"入力", u"名前不可", u"入力注意", F, u"この支払先名は使えません。欄は元の値のままです。\n", true, u"", W},
    // 行指定
    {u"行指定", u"無効行", u"入力注意", F, u"無効な行が指定されています。行指定をやり直してください。", false, u"", W},
    {u"行指定", u"指定なし", u"入力注意", F, u"行が指定されていません。行指定してください。", false, u"", W},
    {u"行指定", u"重複", u"入力注意", F, u"指定行は１回に１行です。行指定をやり直してください。", false, u"", W},
    {u"行指定", u"余白なし", u"行挿入注意", F, u"行挿入する余白はありません。", false, u"", W},
    // クリア
    {u"クリア", u"確認", u"画面クリアの確認", F, u"画面をクリアします。よろしいですか", false, u"", N},
    // 印刷
    {u"印刷", u"確認", u"印刷の確認", F, u"", true, u"を印刷します。よろしいですか", N},
    {u"印刷", u"失敗", u"印刷の失敗", F, u"", true, u" に出力できませんでした。出力先と書き込みの権限を確認してください。", W},
    // その他
    {u"その他", u"確認", u"確認", F, u"", true, u"、よろしいですか", Y},
    {u"その他", u"メッセージ", u"", Title::Target, u"", true, u"", I},
    {u"その他", u"コピー完了", u"コピー完了", F, u"", true, u"コピーしました。", I},
    {u"その他", u"読込み完了", u"読込完了", F, u"", true, u"読込みしました。", I},
    {u"その他", u"読込失敗2", u"読込の失敗", F, u"", true, u" を読み込めませんでした。ディスクの空きと書き込みの権限を確認してください。", W},
    {u"その他", u"出力失敗", u"出力の失敗", F, u"", true, u" に出力できませんでした。出力先のファイルは元のままです。ディスクの空きと書き込みの権限を確認してください。", W},
    {u"その他", u"文字コード", u"文字コードの確認", F, u"次の行に Shift_JIS (CP932) で書けない文字があります。\n\n", true, u"\n\nUTF-8 (BOM付き) で出力しますか", Y},
    {u"その他", u"Excel不可", u"出力の注意", F, u"次の行の支払先名は Excel のセルに収まりません。CSV (UTF-8) で出力してください。\n\n", true, u"", W},
    {u"その他", u"出力なし", u"出力の注意", F, u"出力する月がありません。開始年月を入力して表示してください。", false, u"", I},
    {u"その他", u"読込失敗", u"読込の失敗", F, u"", true, u" を読み込めませんでした。", W},
    {u"その他", u"取込不可", u"支払先の取込", F, u"", true, u" を読めません。文字コードを確認してください。", W},
    {u"その他", u"取込なし", u"支払先の取込", F, u"追加する支払先はありません。", true, u"", I},
    {u"その他", u"取込大きすぎ", u"支払先の取込", F, u"", true, u" は大きすぎるため読みません。支払先の一覧は 16 MB（16,777,216 バイト）までです。", W},
    {u"その他", u"取込除外", u"", F, u"", true, u" の次の行は取り込みません：", I},
    {u"その他", u"取込行長すぎ", u"", F, u"4,096 バイトを超える行です", false, u"", I},
    {u"その他", u"取込読めない行", u"", F, u"", true, u" として読めません", I},
    {u"その他", u"起動失敗", u"起動エラー", F, u"データファイルを開けないため起動できません。\n", true, u"", BoxKind::Critical},
    {u"その他", u"初回起動", u"データ作成の確認", F, u"このフォルダには支払予定表のデータファイルがありません。\n", true, u"\nに新しいデータファイル（Quorel1.mdb と Quorel1Work.mdb）を作成します。よろしいですか", Y},
    {u"その他", u"二重起動", u"起動エラー", F, u"このデータフォルダは既に起動している支払予定表が使っています。\n", true, u"", W},
    {u"その他", u"ロック残存", u"起動の確認", F, u"", true, u"\nこのコンピューターでこのデータフォルダを使っている支払予定表は見つかりません。前回の終了が正常でなかったと考えられます。別のコンピューターからも使うフォルダなら、そちらで支払予定表が終了していることを確かめてから引き継いでください。引き継いで起動しますか", N},
    {u"その他", u"起動空きなし", u"起動エラー", F, u"データフォルダのディスクに空きがないため起動できません。空きを作ってから起動してください。\n", true, u"", BoxKind::Critical},
    {u"その他", u"起動失敗復元", u"起動エラー", F, u"データファイルを開けないため起動できません。\n", true, u"\nこの最新の正常なバックアップを復元して起動しますか", N},
    {u"その他", u"別PC使用中", u"起動エラー", F, u"このデータフォルダは別のコンピューターで起動している支払予定表が使っています。\n", true, u"\nそちらの支払予定表を終了してから起動してください。使用中の支払予定表はロックファイルを 1 分ごとに更新します。10 分以上更新のないロックは、引き継ぐかどうかをお尋ねします。", W},
    {u"その他", u"ロック別PC残存", u"起動の確認", F, u"", true, u"\nロックファイルは 10 分以上更新されていません。ただし、そのコンピューターがこのデータフォルダをもう使っていないかどうかは、このプログラムには確かめられません。そのコンピューターの支払予定表が終了していることを確かめてから引き継いでください。引き継いで起動しますか", N},
    {u"その他", u"ロック最終更新", u"", F, u"ロックファイルの最後の更新：", true, u"", I},
    {u"その他", u"ロック空", u"", F, u"ロックファイルが空か、読めません。", false, u"", I},
    {u"その他", u"ロック別PC", u"", F, u"ロックファイルは別のコンピューターが書いたものです：", true, u"", I},
    {u"その他", u"ロック終了済", u"", F, u"ロックファイルを書いたプログラムは終了しています：プロセス ", true, u"", I},
    {u"その他", u"検査失敗", u"データファイルの傷み", F, u"起動後の検査で、データファイルに傷みが見つかりました。\n", true, u"\n傷んだファイルを変えないよう、変更はすべて受け付けません。設定・情報のページでバックアップを選んで復元してください。", BoxKind::Critical},
    {u"その他", u"残高不整合", u"残高の確認", F, u"前回の異常終了から復旧したデータで、残高の連続が崩れています。\n", true, u"\n\nバックアップから復元しますか（設定・情報のページにバックアップの一覧を開きます）", N},
    {u"その他", u"空きなし", u"", F, u"ディスクの空きが足りません。", false, u"", I},
    {u"その他", u"書込不可", u"", F, u"書き込みが許可されていません。", false, u"", I},
    // バックアップ
    {u"バックアップ", u"失敗確認", u"バックアップの失敗", F, u"操作の前のバックアップを作れませんでした。\n", true, u"\nバックアップなしで続けますか", N},
    {u"バックアップ", u"失敗", u"バックアップの失敗", F, u"バックアップを作れませんでした。\n", true, u"", W},
    // 復元
    {u"復元", u"確認", u"復元の確認", F, u"", true, u"\nの状態に戻します。いまの状態はバックアップしてから置き換えます。よろしいですか", N},
    {u"復元", u"取消確認", u"元に戻す確認", F, u"", true, u"の前の状態に戻します。よろしいですか", Y},
    {u"復元", u"完了", u"復元完了", F, u"", true, u"\nの状態に戻しました。", I},
    {u"復元", u"拒否", u"復元の拒否", F, u"このバックアップは壊れているか支払予定表のデータではないため復元できません。データは変更していません。\n", true, u"", W},
    {u"復元", u"失敗", u"復元の失敗", F, u"", true, u"\nを復元できませんでした。データは変更していません。", W},
    // 状態 (the main window's status line)
    {u"状態", u"取消可能", u"", F, u"", true, u"を実行しました。", I},
    {u"状態", u"取消済", u"", F, u"", true, u"を元に戻しました。", I},
    {u"状態", u"やり直し済", u"", F, u"", true, u"をやり直しました。", I},
    {u"状態", u"登録済", u"", F, u"", true, u"を登録しました。", I},
    {u"状態", u"未登録", u"", F, u"支払予定表に未登録の変更があります。", false, u"", I},
};

constexpr std::array<const char16_t*, 11> kCategories = {u"登録", u"転記", u"削除", u"入力", u"行指定", u"クリア", u"印刷", u"その他", u"バックアップ", u"復元", u"状態"};

} // namespace

std::optional<MessageBoxSpec> findMessage(const QString& category, const QString& key, const QString& target)
{
    bool known = false;
    for (const char16_t* word : kCategories)
        known = known || category == QString::fromUtf16(word);
    if (!known)
        return std::nullopt;
    for (const Entry& entry : kEntries) {
        if (category != QString::fromUtf16(entry.category) || key != QString::fromUtf16(entry.key))
            continue;
        MessageBoxSpec box;
        box.text = QString::fromUtf16(entry.prefix) + (entry.usesTarget ? target : QString()) + QString::fromUtf16(entry.suffix);
        box.title = entry.titleFrom == Title::Target ? target : QString::fromUtf16(entry.title);
        box.kind = entry.kind;
        return box;
    }
    return std::nullopt;
}

bool Msg::ShowMsg(const QString& category, const QString& key, const QString& target)
{
    auto box = findMessage(category, key, target);
    if (!box)
        return false;
    box->owner = presenter_->owner();
    const bool yes = presenter_->present(*box);
    return isQuestion(box->kind) && yes;
}

Answer Msg::Ask(const QString& category, const QString& key, const QString& target)
{
    const auto box = findMessage(category, key, target);
    if (!box)
        return Answer::Cancel;
    return presenter_->ask(*box);
}

} // namespace messages
