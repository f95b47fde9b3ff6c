// Writes data/Rime/kaiwo_names.txt, what the engine makes personal names
// of: the surnames of 百家姓 (a public-domain classical text) and the
// common ones of @faker-js/faker's zh_CN names (MIT), and the characters
// of faker's zh_CN given names, counted. Readings and the surnames' weights
// come from pinyin_simp (Apache-2.0), whose words are simplified as these.
//   node names.js FAKER_PACKAGE_DIR PINYIN_SIMP_DICT > kaiwo_names.txt
'use strict';
const path = require('path');
const { rimeEntries } = require('./common');

const kSingleSurnames =
    '赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许何吕施张孔曹严华金魏陶姜戚谢邹喻柏水窦章' +
    '云苏潘葛奚范彭郎鲁韦昌马苗凤花方俞任袁柳酆鲍史唐费廉岑薛雷贺倪汤滕殷罗毕郝邬安常' +
    '乐于时傅皮卞齐康伍余元卜顾孟平黄和穆萧尹姚邵湛汪祁毛禹狄米贝明臧计伏成戴谈宋茅庞' +
    '熊纪舒屈项祝董梁杜阮蓝闵席季麻强贾路娄危江童颜郭梅盛林刁钟徐邱骆高夏蔡田樊胡凌霍' +
    '虞万支柯昝管卢莫经房裘缪干解应宗丁宣贲邓郁单杭洪包诸左石崔吉钮龚程嵇邢滑裴陆荣翁' +
    '荀羊於惠甄曲家封芮羿储靳汲邴糜松井段富巫乌焦巴弓牧隗山谷车侯宓蓬全郗班仰秋仲伊宫' +
    '宁仇栾暴甘钭厉戎祖武符刘景詹束龙叶幸司韶郜黎蓟薄印宿白怀蒲邰从鄂索咸籍赖卓蔺屠蒙' +
    '池乔阴胥能苍双闻莘党翟谭贡劳逄姬申扶堵冉宰郦雍郤璩桑桂濮牛寿通边扈燕冀郏浦尚农温' +
    '别庄晏柴瞿阎充慕连茹习宦艾鱼容向古易慎戈廖庾终暨居衡步都耿满弘匡国文寇广禄阙东欧' +
    '殳沃利蔚越夔隆师巩厍聂晁勾敖融冷訾辛阚那简饶空曾毋沙乜养鞠须丰巢关蒯相查后荆红游' +
    '竺权逯盖益桓公仉督晋楚闫法汝鄢涂钦岳帅缑亢况郈佘佴墨哈谯笪年爱阳佟言福';
const kCompoundSurnames =
    '万俟 司马 上官 欧阳 夏侯 诸葛 闻人 东方 赫连 皇甫 尉迟 公羊 澹台 公冶 宗政 濮阳 ' +
    '淳于 单于 太叔 申屠 公孙 仲孙 轩辕 令狐 钟离 宇文 长孙 慕容 鲜于 闾丘 司徒 司空 ' +
    '亓官 司寇 子车 颛孙 端木 巫马 公西 漆雕 乐正 壤驷 公良 拓跋 夹谷 宰父 谷梁 段干 ' +
    '百里 东郭 南门 呼延 归海 羊舌 微生 梁丘 左丘 东门 西门 商牟 伯赏 南宫 第五 有琴';
// Surnames read otherwise than the character's most common reading.
const kSurnameReadings = {
    单: 'shan', 解: 'xie', 仇: 'qiu', 查: 'zha', 盖: 'ge', 曾: 'zeng', 乐: 'yue', 缪: 'miao',
    翟: 'zhai', 褚: 'chu', 柏: 'bai', 宓: 'mi', 隗: 'wei', 能: 'nai', 覃: 'qin', 任: 'ren',
    华: 'hua', 燕: 'yan', 都: 'du', 相: 'xiang', 莘: 'shen', 万俟: 'mo qi', 尉迟: 'yu chi',
    长孙: 'zhang sun', 单于: 'chan yu', 澹台: 'tan tai', 乐正: 'yue zheng',
};
// A character's frequency counts all its uses: the surnames faker does not
// list as common weigh a thousandth of theirs, so 何 comes before 和 (and).
const kUncommonSurnameShare = 0.001;

async function main() {
    const [packageDir, pinyinPath] = process.argv.slice(2);
    const { zh_CN } = await import(path.join(packageDir, 'dist/index.js'));
    const fakerSurnames = new Set(zh_CN.person.last_name.generic);
    const firstNames = Object.values(zh_CN.person.first_name).flat();

    // Frequency of every text under every reading, and each text's likeliest reading.
    const frequency = new Map();
    const likeliest = new Map();
    for (const [text, code, weight] of rimeEntries(pinyinPath)) {
        const count = Number(weight) || 0;
        frequency.set(`${text}\t${code}`, count);
        if (!likeliest.has(text) || frequency.get(`${text}\t${likeliest.get(text)}`) < count)
            likeliest.set(text, code);
    }

    const surnames = new Set([...kSingleSurnames, ...kCompoundSurnames.split(' '), ...fakerSurnames]);
    const lines = [];
    for (const surname of surnames) {
        const reading = kSurnameReadings[surname] || likeliest.get(surname) ||
                        [...surname].map((c) => likeliest.get(c)).join(' ');
        const count = frequency.get(`${surname}\t${reading}`) || 1;
        const weight =
            fakerSurnames.has(surname) ? count : Math.ceil(count * kUncommonSurnameShare);
        if (reading && !reading.includes('undefined'))
            lines.push(`s\t${surname}\t${reading}\t${weight}`);
    }
    const uses = new Map();
    for (const character of firstNames.join(''))
        uses.set(character, (uses.get(character) || 0) + 1);
    for (const [character, count] of uses) {
        if (likeliest.has(character))
            lines.push(`g\t${character}\t${likeliest.get(character)}\t${count}`);
    }
    process.stdout.write(
        '# Kaiwo names 1: s (surname) or g (given-name character), TAB, the text,\n' +
        '# TAB, its pinyin, TAB, its weight. Made by scripts/make-engine-data.sh.\n' +
        lines.sort().join('\n') + '\n');
}

main();
