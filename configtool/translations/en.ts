<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CorrectionDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>拼音纠错设置</source>
        <translation>Pinyin Correction</translation>
    </message>
    <message>
        <source>请勾选您想要启用的纠错规则</source>
        <translation>Tick the correction rules you want to use</translation>
    </message>
    <message>
        <source>恢复默认设置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>DefaultPhraseDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>系统默认短语</source>
        <translation>Built-in Phrases</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>缩写</source>
        <translation>Abbreviation</translation>
    </message>
    <message>
        <source>自定义短语</source>
        <translation>Custom phrase</translation>
    </message>
    <message>
        <source>排列位置</source>
        <translation>Position</translation>
    </message>
</context>
<context>
    <name>DialogFrame</name>
    <message>
        <source>凯沃输入法</source>
        <translation>Kaiwo Input Method</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>DiyPhraseAddDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>缩写（英文字符，大小写，最长21个字符）</source>
        <translation>Abbreviation (Latin letters, up to 21)</translation>
    </message>
    <message>
        <source>该条短语在候选中的位置</source>
        <translation>Candidate position</translation>
    </message>
    <message>
        <source>支持多行，空格，最长1000个汉字或者英文字符，其中回车为两个字符</source>
        <translation>Up to 1000 characters, several lines; a line break counts as 2</translation>
    </message>
    <message>
        <source>添加自定义短语</source>
        <translation>Add Phrase</translation>
    </message>
    <message>
        <source>确定并继续添加</source>
        <translation>OK, Add Another</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>缩写不能为空!</source>
        <translation>Enter an abbreviation.</translation>
    </message>
    <message>
        <source>自定义短语不能为空!</source>
        <translation>Enter a phrase.</translation>
    </message>
    <message>
        <source>自定义短语已存在!</source>
        <translation>This custom phrase exists already.</translation>
    </message>
</context>
<context>
    <name>DiyPhraseDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>通过英文字符作为缩写，来输入自定义的特殊符号、短语、短文等</source>
        <translation>Type a Latin-letter abbreviation to enter your own symbols or texts</translation>
    </message>
    <message>
        <source>开启输入法自带短语</source>
        <translation>Built-in phrases</translation>
    </message>
    <message>
        <source>查看自带短语</source>
        <translation>View</translation>
    </message>
    <message>
        <source>添加新定义</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>编辑已有项</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>删除高亮</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>全启用</source>
        <translation>All On</translation>
    </message>
    <message>
        <source>全禁用</source>
        <translation>All Off</translation>
    </message>
    <message>
        <source>恢复默认设置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>自定义短语设置</source>
        <translation>Custom Phrases</translation>
    </message>
    <message>
        <source>缩写</source>
        <translation>Abbreviation</translation>
    </message>
    <message>
        <source>自定义短语</source>
        <translation>Custom phrase</translation>
    </message>
    <message>
        <source>排列位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>编辑自定义短语</source>
        <translation>Edit Phrase</translation>
    </message>
    <message>
        <source>请单击列表框选择一条编辑项</source>
        <translation>Click a phrase in the list first.</translation>
    </message>
    <message>
        <source>删除自定义短语</source>
        <translation>Delete Custom Phrase</translation>
    </message>
    <message>
        <source>确定要删除选中的自定义短语吗？</source>
        <translation>Delete the selected custom phrase?</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>确定要恢复默认配置吗？</source>
        <translation>Restore the default settings?</translation>
    </message>
</context>
<context>
    <name>DiyPhraseEditDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>缩写（英文字符，大小写，最长21个字符）</source>
        <translation>Abbreviation (Latin letters, up to 21)</translation>
    </message>
    <message>
        <source>该条短语在候选中的位置</source>
        <translation>Candidate position</translation>
    </message>
    <message>
        <source>支持多行，空格，最长1000个汉字或者英文字符，其中回车为两个字符</source>
        <translation>Up to 1000 characters, several lines; a line break counts as 2</translation>
    </message>
    <message>
        <source>编辑自定义短语</source>
        <translation>Edit Phrase</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>缩写不能为空!</source>
        <translation>Enter an abbreviation.</translation>
    </message>
    <message>
        <source>自定义短语不能为空!</source>
        <translation>Enter a phrase.</translation>
    </message>
    <message>
        <source>自定义短语已存在!</source>
        <translation>This custom phrase exists already.</translation>
    </message>
</context>
<context>
    <name>EngImeDialog</name>
    <message>
        <source>凯沃输入法</source>
        <translation>Kaiwo Input Method</translation>
    </message>
    <message>
        <source>英文输入法设置</source>
        <translation>English Input</translation>
    </message>
    <message>
        <source>请设置英文输入法</source>
        <translation>Set up English input</translation>
    </message>
    <message>
        <source>恢复默认设置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>启动时进入英文输入法</source>
        <translation>Start in English input</translation>
    </message>
    <message>
        <source>以通配符*代替部分字母</source>
        <translation>* is a wildcard</translation>
    </message>
    <message>
        <source>完全匹配单词始终在前</source>
        <translation>Exact matches first</translation>
    </message>
    <message>
        <source>补全后自动补加空格</source>
        <translation>Append a space</translation>
    </message>
    <message>
        <source>动态调频</source>
        <translation>Learn word frequency</translation>
    </message>
    <message>
        <source>记录新词</source>
        <translation>Learn new words</translation>
    </message>
    <message>
        <source>空格</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message>
        <source>回车</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>英文输入法词库</source>
        <translation>English words</translation>
    </message>
    <message>
        <source>自动补全第一候选项快捷键</source>
        <translation>Complete with:</translation>
    </message>
    <message>
        <source>恢复默认词库</source>
        <translation>Restore Dictionary</translation>
    </message>
    <message>
        <source>确定恢复英文输入法词库？</source>
        <translation>Restore the English dictionary?</translation>
    </message>
    <message>
        <source>恢复英文词库成功！</source>
        <translation>The English dictionary has been restored.</translation>
    </message>
    <message>
        <source>恢复英文词库失败！</source>
        <translation>The English dictionary could not be restored.</translation>
    </message>
</context>
<context>
    <name>KaiwoPromptDialog</name>
    <message>
        <source>凯沃输入法</source>
        <translation>Kaiwo Input Method</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>恢复默认配置</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>确定恢复本页默认配置？</source>
        <translation>Restore the defaults of this page?</translation>
    </message>
</context>
<context>
    <name>KeyboardViewDialog</name>
    <message>
        <source>双拼键盘</source>
        <translation>Double Pinyin keyboard</translation>
    </message>
    <message>
        <source>每个键上是它输入的声母和韵母</source>
        <translation>Each key shows the initial and finals it types</translation>
    </message>
</context>
<context>
    <name>LearnedWordsDialog</name>
    <message>
        <source>已学词语</source>
        <translation>Learned Words</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>搜索拼音或词语</source>
        <translation>Search pinyin or words</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>拼音</source>
        <translation>Pinyin</translation>
    </message>
    <message>
        <source>词语</source>
        <translation>Word</translation>
    </message>
    <message>
        <source>使用次数</source>
        <translation>Uses</translation>
    </message>
    <message>
        <source>共 %1 个</source>
        <translation>%1 words</translation>
    </message>
    <message>
        <source>输入法未响应</source>
        <translation>No input method</translation>
    </message>
</context>
<context>
    <name>MoHuYinDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>模糊音设置</source>
        <translation>Fuzzy Pinyin</translation>
    </message>
    <message>
        <source>请勾选您想使用的模糊音</source>
        <translation>Tick the sounds you want to be fuzzy</translation>
    </message>
    <message>
        <source>开启智能模糊音推荐</source>
        <translation>Suggest fuzzy sounds as I type</translation>
    </message>
    <message>
        <source>恢复默认设置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>NewSPConfDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>方案名称：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>基于方案：</source>
        <translation>Based on:</translation>
    </message>
    <message>
        <source>定义按键：音节</source>
        <translation>Key for syllable</translation>
    </message>
    <message>
        <source>→</source>
        <translation>→</translation>
    </message>
    <message>
        <source>按键</source>
        <translation>key</translation>
    </message>
    <message>
        <source>方案预览：</source>
        <translation>Preview:</translation>
    </message>
    <message>
        <source>新建双拼方案</source>
        <translation>New Scheme</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>基础方案</source>
        <translation>Blank scheme</translation>
    </message>
    <message>
        <source>保存双拼方案失败：
没有指定双拼方案名称！</source>
        <translation>The scheme was not saved:
it has no name.</translation>
    </message>
    <message>
        <source>双拼方案&quot;%1&quot;
与系统方案重名，请重新命名！</source>
        <translation>A built-in scheme is called &quot;%1&quot;.
Choose another name.</translation>
    </message>
    <message>
        <source>双拼方案&quot;%1&quot;
已经存在,确定要覆盖吗？</source>
        <translation>The scheme &quot;%1&quot;
exists already. Replace it?</translation>
    </message>
    <message>
        <source>还有部分音节没有设置，请设置
完所有音节后再进行保存！</source>
        <translation>Some syllables have no key yet.
Give every syllable a key, then save.</translation>
    </message>
</context>
<context>
    <name>SettingAboutWidget</name>
    <message>
        <source>进入官网(G)</source>
        <translation>Visit Website (G)</translation>
    </message>
    <message>
        <source>凯沃输入法</source>
        <translation>Kaiwo Input Method</translation>
    </message>
    <message>
        <source>版本:</source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>本产品授权给：凯沃软件技术有限公司使用。</source>
        <translation>This product is licensed to Kaiwo Software Technology Co., Ltd.</translation>
    </message>
    <message>
        <source>© 2026 凯沃输入法团队 保留所有权利</source>
        <translation>© 2026 The Kaiwo Input Method Team. All rights reserved.</translation>
    </message>
    <message>
        <source>警告：本软件受著作权法及国际版权公约保护。未经授权，擅自复制、传播本软件的全部或部分内容，将依法承担相应的民事和刑事责任。</source>
        <translation>Warning: this software is protected by copyright law and international treaties. Unauthorised copying or distribution of this software, in whole or in part, may result in civil and criminal penalties.</translation>
    </message>
</context>
<context>
    <name>SettingAdvanceWidget</name>
    <message>
        <source>快捷键</source>
        <translation>Shortcuts</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>中英文切换</source>
        <translation>Chinese/English</translation>
    </message>
    <message>
        <source>切换到英文时，上屏已输入字符</source>
        <translation>Commit typed letters when switching to English</translation>
    </message>
    <message>
        <source>句号</source>
        <translation>Period</translation>
    </message>
    <message>
        <source>中英标点切换</source>
        <translation>Punctuation</translation>
    </message>
    <message>
        <source>全半角切换</source>
        <translation>Full/half width</translation>
    </message>
    <message>
        <source>减号等号</source>
        <translation>Minus and equals</translation>
    </message>
    <message>
        <source>左右方括号</source>
        <translation>Square brackets</translation>
    </message>
    <message>
        <source>候选翻页</source>
        <translation>Page candidates</translation>
    </message>
    <message>
        <source>逗号句号</source>
        <translation>Comma and period</translation>
    </message>
    <message>
        <source>系统功能快捷键</source>
        <translation>Shortcuts</translation>
    </message>
    <message>
        <source>系统功能</source>
        <translation>System</translation>
    </message>
    <message>
        <source>其他设置</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>小键盘保持数字输入</source>
        <translation>Keypad always types digits</translation>
    </message>
    <message>
        <source>小键盘保持半角输入</source>
        <translation>Keypad always types half width</translation>
    </message>
    <message>
        <source>辅助功能</source>
        <translation>Assistance</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left </translation>
    </message>
    <message>
        <source>  在五笔模式下生效，快速以拼音编码输入</source>
        <translation> types pinyin in Wubi mode</translation>
    </message>
    <message>
        <source>临时拼音</source>
        <translation>Pinyin in Wubi</translation>
    </message>
</context>
<context>
    <name>SettingAppearanceWidget</name>
    <message>
        <source>横排</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>竖排</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>候选项数</source>
        <translation>Candidates</translation>
    </message>
    <message>
        <source>候选窗口跟随光标</source>
        <translation>At cursor</translation>
    </message>
    <message>
        <source>使用皮肤</source>
        <translation>Skin</translation>
    </message>
    <message>
        <source>更换颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>拼音串颜色</source>
        <translation>Pinyin colour</translation>
    </message>
    <message>
        <source>第一候选颜色</source>
        <translation>First candidate</translation>
    </message>
    <message>
        <source>非第一候选颜色</source>
        <translation>Other candidates</translation>
    </message>
    <message>
        <source>设置颜色</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>更换字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>字体大小</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>显示设置</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>皮肤设置</source>
        <translation>Skin</translation>
    </message>
</context>
<context>
    <name>SettingGeneralWidget</name>
    <message>
        <source>简体</source>
        <translation>Simplified</translation>
    </message>
    <message>
        <source>繁体</source>
        <translation>Traditional</translation>
    </message>
    <message>
        <source>半角</source>
        <translation>Half width</translation>
    </message>
    <message>
        <source>全角</source>
        <translation>Full width</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>English</translation>
    </message>
    <message>
        <source>拼音</source>
        <translation>Pinyin</translation>
    </message>
    <message>
        <source>五笔</source>
        <translation>Wubi</translation>
    </message>
    <message>
        <source>隐藏状态栏</source>
        <translation>Hide the status bar</translation>
    </message>
    <message>
        <source>标点配对：自动补全成对标点</source>
        <translation>Pair punctuation: close brackets and quotes</translation>
    </message>
    <message>
        <source>智能调整数字后标点</source>
        <translation>Half-width punctuation after digits</translation>
    </message>
    <message>
        <source>自定义短语</source>
        <translation>Custom phrases</translation>
    </message>
    <message>
        <source>自定义短语设置</source>
        <translation>Custom Phrases</translation>
    </message>
    <message>
        <source>默认状态</source>
        <translation>Default State</translation>
    </message>
    <message>
        <source>标点符号</source>
        <translation>Punctuation</translation>
    </message>
    <message>
        <source>候选扩展</source>
        <translation>Extras</translation>
    </message>
</context>
<context>
    <name>SettingPinyinWidget</name>
    <message>
        <source>全拼</source>
        <translation>Full Pinyin</translation>
    </message>
    <message>
        <source>双拼</source>
        <translation>Double Pinyin</translation>
    </message>
    <message>
        <source>首字母简拼(如:z表示zh等,a表示an等)</source>
        <translation>Initials only (z for zh, a for an, etc.)</translation>
    </message>
    <message>
        <source>双拼方案设置</source>
        <translation>Schemes</translation>
    </message>
    <message>
        <source>双拼展开提示</source>
        <translation>Show full spelling</translation>
    </message>
    <message>
        <source>双拼下同时使用全拼</source>
        <translation>Also accept full pinyin</translation>
    </message>
    <message>
        <source>拼音纠错</source>
        <translation>Correct typos</translation>
    </message>
    <message>
        <source>拼音纠错设置</source>
        <translation>Corrections</translation>
    </message>
    <message>
        <source>模糊音设置</source>
        <translation>Fuzzy pinyin</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>一键恢复初始状态</source>
        <translation>Reset All</translation>
    </message>
    <message>
        <source>动态组词</source>
        <translation>Build phrases</translation>
    </message>
    <message>
        <source>拆分输入</source>
        <translation>Type by parts</translation>
    </message>
    <message>
        <source>智能人名</source>
        <translation>Personal names</translation>
    </message>
    <message>
        <source>英文补全</source>
        <translation>English words</translation>
    </message>
    <message>
        <source>网址邮箱补全</source>
        <translation>Web and e-mail</translation>
    </message>
    <message>
        <source>按空格出字</source>
        <translation>Space commits</translation>
    </message>
    <message>
        <source>按字母选词</source>
        <translation>Letters select</translation>
    </message>
    <message>
        <source>编辑候选项：输入拼音后回退光标，对候选项进行编辑</source>
        <translation>Edit candidates: move the cursor back into the typed pinyin</translation>
    </message>
    <message>
        <source>英文输入法设置</source>
        <translation>English Input</translation>
    </message>
    <message>
        <source>中文用户词库</source>
        <translation>Chinese words</translation>
    </message>
    <message>
        <source>英文用户词库</source>
        <translation>English words</translation>
    </message>
    <message>
        <source>网址邮箱词库</source>
        <translation>Web and e-mail</translation>
    </message>
    <message>
        <source>英文输入法</source>
        <translation>English input</translation>
    </message>
    <message>
        <source>输入习惯</source>
        <translation>Typing</translation>
    </message>
    <message>
        <source>基础词库</source>
        <translation>Lexicon</translation>
    </message>
    <message>
        <source>常规候选</source>
        <translation>Choices</translation>
    </message>
    <message>
        <source>候选扩展</source>
        <translation>Extras</translation>
    </message>
    <message>
        <source>其他设置</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>已学词语</source>
        <translation>Learned Words</translation>
    </message>
</context>
<context>
    <name>SettingThesaurusWidget</name>
    <message>
        <source>细胞词库</source>
        <translation>Word Lists</translation>
    </message>
    <message>
        <source>添加细胞词库</source>
        <translation>Add Word List</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>词条数</source>
        <translation>Words</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>细胞词库(*.kcel)</source>
        <translation>Word lists (*.kcel)</translation>
    </message>
    <message>
        <source>细胞词库&quot;%1&quot;是无效词库。</source>
        <translation>The word list &quot;%1&quot; is not valid.</translation>
    </message>
    <message>
        <source>细胞词库&quot;%1&quot;安装成功。</source>
        <translation>The word list &quot;%1&quot; has been installed.</translation>
    </message>
    <message>
        <source>删除细胞词库</source>
        <translation>Delete Word List</translation>
    </message>
    <message>
        <source>确定要删除细胞词库&quot;%1&quot;吗？</source>
        <translation>Delete the word list &quot;%1&quot;?</translation>
    </message>
</context>
<context>
    <name>SettingWubiWidget</name>
    <message>
        <source>五笔混输</source>
        <translation>Mix in pinyin</translation>
    </message>
    <message>
        <source>生僻字</source>
        <translation>Rare characters</translation>
    </message>
    <message>
        <source>四码唯一时自动上屏</source>
        <translation>Auto-commit unique</translation>
    </message>
    <message>
        <source>第五码将首选上屏</source>
        <translation>5th key commits</translation>
    </message>
    <message>
        <source>动态调频：按近期输入排序</source>
        <translation>Recent words first</translation>
    </message>
    <message>
        <source>空码时取消输入</source>
        <translation>Clear on no match</translation>
    </message>
    <message>
        <source>回车键取消输入</source>
        <translation>Enter clears code</translation>
    </message>
    <message>
        <source>智能造词</source>
        <translation>Learn new words</translation>
    </message>
    <message>
        <source>编码时逐键提示</source>
        <translation>Hint at each key</translation>
    </message>
    <message>
        <source>单字输入</source>
        <translation>Single characters only</translation>
    </message>
    <message>
        <source>仅在全码匹配时显示词组</source>
        <translation>Words only for full codes</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>一键恢复初始状态</source>
        <translation>Reset All</translation>
    </message>
    <message>
        <source>五笔拼音词库</source>
        <translation>Pinyin words</translation>
    </message>
    <message>
        <source>五笔词库</source>
        <translation>Wubi words</translation>
    </message>
    <message>
        <source>网址邮箱词库</source>
        <translation>Web and e-mail</translation>
    </message>
    <message>
        <source>输入风格</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>特殊习惯</source>
        <translation>Habits</translation>
    </message>
    <message>
        <source>高级</source>
        <translation>Expert</translation>
    </message>
    <message>
        <source>基础词库</source>
        <translation>Lexicon</translation>
    </message>
</context>
<context>
    <name>SettingsWidget</name>
    <message>
        <source>  常用</source>
        <translation>General</translation>
    </message>
    <message>
        <source>  外观</source>
        <translation>Look</translation>
    </message>
    <message>
        <source>  词库</source>
        <translation>Lexicon</translation>
    </message>
    <message>
        <source>  高级</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>  拼音</source>
        <translation>Pinyin</translation>
    </message>
    <message>
        <source>  五笔</source>
        <translation>Wubi</translation>
    </message>
    <message>
        <source>  关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>凯沃输入法</source>
        <translation>Kaiwo Input Method</translation>
    </message>
    <message>
        <source>恢复本页默认设置</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
</context>
<context>
    <name>ShuangPinSettingDialog</name>
    <message>
        <source>双拼方案设置</source>
        <translation>Double Pinyin</translation>
    </message>
    <message>
        <source>当前方案：</source>
        <translation>Scheme:</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <source>恢复本页默认配置</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SystemShortcutKeysDialog</name>
    <message>
        <source>凯沃输入法</source>
        <translation>Kaiwo Input Method</translation>
    </message>
    <message>
        <source>系统功能快捷键</source>
        <translation>System Shortcuts</translation>
    </message>
    <message>
        <source>请设置系统功能快捷键</source>
        <translation>Set up the system shortcuts</translation>
    </message>
    <message>
        <source>恢复默认设置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>简繁切换</source>
        <translation>Simplified/Traditional</translation>
    </message>
    <message>
        <source>英文输入法</source>
        <translation>English</translation>
    </message>
    <message>
        <source>五笔拼音切换</source>
        <translation>Wubi/Pinyin</translation>
    </message>
</context>
<context>
    <name>TableRowKeys</name>
    <message>
        <source>选用 %1</source>
        <translation>Use %1</translation>
    </message>
</context>
<context>
    <name>ThesaurusLabelWidget</name>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>ThesaurusLookDialog</name>
    <message>
        <source>凯沃输入法</source>
        <translation>Kaiwo Input Method</translation>
    </message>
    <message>
        <source>查看细胞词库</source>
        <translation>Word List</translation>
    </message>
    <message>
        <source>细胞词库信息：</source>
        <translation>About this word list:</translation>
    </message>
    <message>
        <source>词库名称:</source>
        <translation>Name: </translation>
    </message>
    <message>
        <source>词库条数:</source>
        <translation>Words: </translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>词库举例 :</source>
        <translation>Examples:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>词库日期:</source>
        <translation>Date: </translation>
    </message>
</context>
<context>
    <name>UserDictionaryActions</name>
    <message>
        <source>加密词库文件(*.bin)</source>
        <translation>Encrypted dictionaries (*.bin)</translation>
    </message>
    <message>
        <source>导入中文用户词库</source>
        <translation>Importing the Chinese user dictionary</translation>
    </message>
    <message>
        <source>/凯沃词库备份_</source>
        <translation>/Kaiwo dictionary backup_</translation>
    </message>
    <message>
        <source>导出中文用户词库</source>
        <translation>Exporting the Chinese user dictionary</translation>
    </message>
    <message>
        <source>将执行:清空中文、英文、网址邮箱用户词库。</source>
        <translation>This clears the Chinese, English and web and e-mail user dictionaries.</translation>
    </message>
    <message>
        <source>文本词库文件(*.txt)</source>
        <translation>Text dictionaries (*.txt)</translation>
    </message>
    <message>
        <source>导入用户词库</source>
        <translation>Importing the user dictionary</translation>
    </message>
    <message>
        <source>/凯沃拼音五笔词库备份_</source>
        <translation>/Kaiwo Wubi pinyin dictionary backup_</translation>
    </message>
    <message>
        <source>文本词库文件（*.txt)</source>
        <translation>Text dictionaries (*.txt)</translation>
    </message>
    <message>
        <source>导出用户词库</source>
        <translation>Exporting the user dictionary</translation>
    </message>
    <message>
        <source>/凯沃五笔词库备份_</source>
        <translation>/Kaiwo Wubi dictionary backup_</translation>
    </message>
    <message>
        <source>文本词库文件（*.txt）</source>
        <translation>Text dictionaries (*.txt)</translation>
    </message>
    <message>
        <source>将执行清空五笔拼音词库、五笔词库、网址邮箱词库。</source>
        <translation>This clears the Wubi pinyin, Wubi and web and e-mail dictionaries.</translation>
    </message>
    <message>
        <source>%1&quot;%2&quot;成功！</source>
        <translation>%1 &quot;%2&quot; succeeded.</translation>
    </message>
    <message>
        <source>%1&quot;%2&quot;失败！</source>
        <translation>%1 &quot;%2&quot; failed.</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>导入词库</source>
        <translation>Import Dictionary</translation>
    </message>
    <message>
        <source>词库另存为</source>
        <translation>Save Dictionary As</translation>
    </message>
    <message>
        <source>导出词库</source>
        <translation>Export Dictionary</translation>
    </message>
    <message>
        <source>%1成功！</source>
        <translation>%1 succeeded.</translation>
    </message>
    <message>
        <source>%1失败！</source>
        <translation>%1 failed.</translation>
    </message>
    <message>
        <source>清空词库</source>
        <translation>Clear Dictionary</translation>
    </message>
    <message>
        <source>清空用户词库将不可恢复，确定继续吗？</source>
        <translation>A cleared user dictionary cannot be recovered. Go on?</translation>
    </message>
    <message>
        <source>清空用户词库</source>
        <translation>Clearing the user dictionary</translation>
    </message>
    <message>
        <source>恢复词库</source>
        <translation>Restore Dictionaries</translation>
    </message>
    <message>
        <source>确定要将所有基础词库恢复到初始状态？
</source>
        <translation>Reset every dictionary to its initial state?
</translation>
    </message>
    <message>
        <source>一键恢复初始状态</source>
        <translation>Reset All</translation>
    </message>
</context>
</TS>
