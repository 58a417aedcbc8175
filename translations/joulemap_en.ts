<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Alerts</name>
    <message>
        <source>🔌 已充至 %1%</source>
        <translation>🔌 Charged to %1%</translation>
    </message>
    <message>
        <source>电量已达到提醒值 %1%，可以拔下电源。</source>
        <translation>The battery has reached your alert level of %1%. You can unplug the charger.</translation>
    </message>
    <message>
        <source>🪫 电量已降至 %1%</source>
        <translation>🪫 Battery down to %1%</translation>
    </message>
    <message>
        <source>电量已降到提醒值 %1%，请接入电源。</source>
        <translation>The battery has dropped to your alert level of %1%. Plug in the charger.</translation>
    </message>
    <message>
        <source>⚡ 检测到异常耗电</source>
        <translation>⚡ Unusual power use</translation>
    </message>
    <message>
        <source>%1 持续高负载用电（CPU 占用 %2%），可能影响续航。如不需要建议关闭或检查。</source>
        <translation>%1 keeps the CPU busy (%2% CPU) and shortens battery life. Close or check it if you don't need it.</translation>
    </message>
    <message>
        <source>⚠️ 电池温度过高</source>
        <translation>⚠️ Battery too hot</translation>
    </message>
    <message>
        <source>电池温度 %1℃，高温会加速电池老化。建议暂停高负载任务让其降温。</source>
        <translation>The battery is at %1℃. Heat ages it faster; pause heavy tasks to let it cool down.</translation>
    </message>
</context>
<context>
    <name>AppEnergyRanking</name>
    <message>
        <source>共 %1</source>
        <translation>Total %1</translation>
    </message>
    <message>
        <source>系统</source>
        <translation>System</translation>
    </message>
    <message>
        <source>应用耗电</source>
        <translation>App energy use</translation>
    </message>
    <message>
        <source>使用电池时</source>
        <translation>On battery</translation>
    </message>
    <message>
        <source>接通电源时</source>
        <translation>Plugged in</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>暂无耗电记录，每 30 秒记录一次</source>
        <translation>No energy use recorded yet; a record is taken every 30 seconds</translation>
    </message>
    <message>
        <source>这段时间没有记录</source>
        <translation>Nothing recorded in this period</translation>
    </message>
    <message>
        <source>按各应用的处理器时间分摊整机耗电（估算）</source>
        <translation>The machine's energy use shared out by each app's CPU time (estimate)</translation>
    </message>
</context>
<context>
    <name>AppTheme</name>
    <message>
        <source>夜间</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>System</translation>
    </message>
    <message>
        <source>日间</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>固定深色外观</source>
        <translation>Always dark</translation>
    </message>
    <message>
        <source>跟随系统深浅模式自动切换</source>
        <translation>Follows the desktop's light or dark mode</translation>
    </message>
    <message>
        <source>固定浅色外观</source>
        <translation>Always light</translation>
    </message>
</context>
<context>
    <name>AuxWindowKey</name>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>更新日志</source>
        <translation>Changelog</translation>
    </message>
    <message>
        <source>功率历史</source>
        <translation>Power history</translation>
    </message>
</context>
<context>
    <name>BatteryAdvisor</name>
    <message>
        <source>电池温度 %1℃ 过高，暂停高负载任务让其降温，高温会加速电池老化</source>
        <translation>The battery is too hot (%1℃). Pause heavy tasks to let it cool down; heat ages the battery</translation>
    </message>
    <message>
        <source>电池温度偏高（%1℃），避免长时间高负载使用</source>
        <translation>The battery is warm (%1℃); avoid heavy use for long periods</translation>
    </message>
    <message>
        <source>已充至 %1%，可拔下电源。长期保持满电状态会缩短电池寿命</source>
        <translation>Charged to %1%, you can unplug. Keeping the battery full for long shortens its life</translation>
    </message>
    <message>
        <source>电量较低（%1%）正在充电，建议充至 80% 以上再拔下</source>
        <translation>Charging from a low level (%1%); charge past 80% before unplugging</translation>
    </message>
    <message>
        <source>正在慢速充电（充电器 %1W），使用原装或更高功率充电器可更快充满</source>
        <translation>Charging slowly (%1W charger); the original or a stronger charger fills it faster</translation>
    </message>
    <message>
        <source>当前电量 %1%，充电功率约 %2W 低于充电器额定 %3W——这是正常的。高电量时电池进入恒压缓充阶段，系统主动降低充电功率以保护电池寿命，接近满电时会进一步降至涓流甚至暂停</source>
        <translation>At %1%, charging at about %2W is below the charger's rated %3W, which is normal. When nearly full the battery charges at constant voltage and the system lowers the power to protect it; close to full it slows to a trickle or pauses</translation>
    </message>
    <message>
        <source>电量仅剩 %1%，建议尽快接入电源，避免深度放电损伤电池</source>
        <translation>Only %1% left. Plug in soon: a deep discharge harms the battery</translation>
    </message>
    <message>
        <source>当前放电功率较高（%1W），关闭耗电应用或降低屏幕亮度可延长续航</source>
        <translation>Drawing a lot of power (%1W); close power-hungry apps or dim the screen to last longer</translation>
    </message>
    <message>
        <source>电量处于理想区间（20-80%），保持此范围使用有助延长电池寿命</source>
        <translation>The charge is in the ideal range (20–80%); staying there helps the battery last</translation>
    </message>
    <message>
        <source>长期接电源并保持满电会加速电池老化，可在设置中把充电上限设为 80%</source>
        <translation>Staying plugged in at full charge ages the battery; you can set an 80% charge limit in Settings</translation>
    </message>
    <message>
        <source>电池健康度偏低（%1%），续航和峰值性能可能下降，建议预约官方检测</source>
        <translation>Battery health is low (%1%); runtime and peak performance may drop. Consider having it checked</translation>
    </message>
    <message>
        <source>循环次数 %1/%2，已接近设计上限，电池进入生命周期后期</source>
        <translation>%1 of %2 cycles: close to the design limit, the battery is late in its life</translation>
    </message>
    <message>
        <source>电池状态良好，保持当前的用电习惯即可</source>
        <translation>The battery is in good shape; keep using it as you do</translation>
    </message>
</context>
<context>
    <name>BatteryHealthModel</name>
    <message>
        <source>%1 次</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>良好</source>
        <translation>Good</translation>
    </message>
    <message>
        <source>一般</source>
        <translation>Fair</translation>
    </message>
    <message>
        <source>建议更换</source>
        <translation>Replace soon</translation>
    </message>
    <message>
        <source>循环次数</source>
        <translation>Cycle count</translation>
    </message>
    <message>
        <source>设计容量</source>
        <translation>Design capacity</translation>
    </message>
    <message>
        <source>当前最大</source>
        <translation>Full charge</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>电池健康</source>
        <translation>Battery health</translation>
    </message>
    <message>
        <source>健康度</source>
        <translation>Health</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
</context>
<context>
    <name>BatteryTimeEstimate</name>
    <message>
        <source>已接电源</source>
        <translation>Plugged in</translation>
    </message>
    <message>
        <source>即将充满</source>
        <translation>Almost full</translation>
    </message>
    <message>
        <source>放电中</source>
        <translation>Discharging</translation>
    </message>
    <message>
        <source>充满约 %1</source>
        <translation>Full in about %1</translation>
    </message>
    <message>
        <source>可用约 %1</source>
        <translation>About %1 left</translation>
    </message>
    <message>
        <source>%1分钟</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1小时</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>%1小时%2分</source>
        <translation>%1 h %2 min</translation>
    </message>
</context>
<context>
    <name>ChangelogBlocks</name>
    <message>
        <source>当前</source>
        <translation>Current</translation>
    </message>
</context>
<context>
    <name>ChangelogData</name>
    <message>
        <source>新增</source>
        <translation>New</translation>
    </message>
    <message>
        <source>变更</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>修复</source>
        <translation>Fixed</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>Other</translation>
    </message>
</context>
<context>
    <name>ChangelogView</name>
    <message>
        <source>更新日志</source>
        <translation>Changelog</translation>
    </message>
    <message>
        <source>当前版本 </source>
        <translation>Current version </translation>
    </message>
</context>
<context>
    <name>ChargeLimitModel</name>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>未限制（内核报告 100%）</source>
        <translation>No limit (kernel reports 100%)</translation>
    </message>
    <message>
        <source>内核报告 %1</source>
        <translation>Kernel reports %1</translation>
    </message>
    <message>
        <source>这台电脑的电池驱动不提供充电上限</source>
        <translation>This computer's battery driver has no charge limit</translation>
    </message>
    <message>
        <source>当前用户无权修改充电上限，%1。授予写入权限的方法见 %2</source>
        <translation>You may not change the charge limit (%1). How to allow it: %2</translation>
    </message>
    <message>
        <source>驱动拒绝了 %1，%2</source>
        <translation>The driver refused %1; %2</translation>
    </message>
    <message>
        <source>驱动把 %1 调整为 %2</source>
        <translation>The driver changed %1 to %2</translation>
    </message>
    <message>
        <source>已达充电上限 %1</source>
        <translation>Charge limit of %1 reached</translation>
    </message>
    <message>
        <source>已暂停充电</source>
        <translation>Charging paused</translation>
    </message>
    <message>
        <source>按设置放电中</source>
        <translation>Discharging to the limit</translation>
    </message>
    <message>
        <source>充电上限</source>
        <translation>Charge limit</translation>
    </message>
    <message>
        <source>充到此电量即停止充电，长期接电源时可延长电池寿命</source>
        <translation>Charging stops at this level, which helps the battery last when it stays plugged in</translation>
    </message>
</context>
<context>
    <name>ChargeSettingsBlock</name>
    <message>
        <source>电量提醒</source>
        <translation>Charge alerts</translation>
    </message>
    <message>
        <source>充电提醒</source>
        <translation>Charged alert</translation>
    </message>
    <message>
        <source>接电源充至此电量时通知</source>
        <translation>Notify when charging reaches this level</translation>
    </message>
    <message>
        <source>低电量提醒</source>
        <translation>Low battery alert</translation>
    </message>
    <message>
        <source>用电池放电降至此电量时通知</source>
        <translation>Notify when the battery runs down to this level</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>焦图（Joulemap）实时显示本机的电都用在了哪里。</source>
        <translation>Joulemap (焦图) shows, live, where the machine's power goes.</translation>
    </message>
    <message>
        <source>等正在运行的焦图退出后接替它（更新后使用）。</source>
        <translation>Take over from a running Joulemap once it has quit (used after an update).</translation>
    </message>
    <message>
        <source>把历史记录写成 samples.csv、apps.csv 和 alerts.csv 放进 DIR，然后退出（无需显示器）。</source>
        <translation>Write the history as samples.csv, apps.csv and alerts.csv into DIR and exit (no display needed).</translation>
    </message>
    <message>
        <source>与 --export-csv 同用：导出最近多少天（默认 30）。</source>
        <translation>With --export-csv: how many days back to export (default 30).</translation>
    </message>
    <message>
        <source>每次刷新后把指标写到 PATH，供 node_exporter 的 textfile 收集器读取（优先于设置）。</source>
        <translation>Write the metrics for node_exporter's textfile collector to PATH after every refresh (overrides the setting).</translation>
    </message>
    <message>
        <source>把指标写入 FILE 一次后退出，不打开窗口。</source>
        <translation>Write the metrics once to FILE and quit, without a window.</translation>
    </message>
    <message>
        <source>joulemap：--days 需要 1 到 %1 之间的整数天数，而不是“%2”</source>
        <translation>joulemap: --days wants a whole number of days from 1 to %1, not "%2"</translation>
    </message>
    <message>
        <source>joulemap：--days 只能与 --export-csv 一起使用</source>
        <translation>joulemap: --days only goes with --export-csv</translation>
    </message>
    <message>
        <source>joulemap：--export-csv 需要一个文件夹</source>
        <translation>joulemap: --export-csv wants a folder</translation>
    </message>
</context>
<context>
    <name>DestinationListModel</name>
    <message>
        <source>合计 %1</source>
        <translation>Total %1</translation>
    </message>
    <message>
        <source>功率去向明细</source>
        <translation>Where the power goes</translation>
    </message>
</context>
<context>
    <name>HistoryChartCard</name>
    <message>
        <source>数据积累中，请稍后再看</source>
        <translation>Collecting data, check back soon</translation>
    </message>
    <message>
        <source>每 30 秒记录一次，需要至少 2 条数据</source>
        <translation>A record every 30 seconds; at least 2 are needed</translation>
    </message>
    <message>
        <source>入口功率</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>系统消耗</source>
        <translation>System</translation>
    </message>
    <message>
        <source>电量%</source>
        <translation>Charge %</translation>
    </message>
</context>
<context>
    <name>HistoryRows</name>
    <message numerus="yes">
        <source>明细记录（最近 %n 条）</source>
        <comment>rows shown</comment>
        <translation>
            <numerusform>Samples (last %n)</numerusform>
            <numerusform>Samples (last %n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>告警历史（最近 %n 条）</source>
        <comment>alerts shown</comment>
        <translation>
            <numerusform>Alerts (last %n)</numerusform>
            <numerusform>Alerts (last %n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 条记录</source>
        <comment>records stored</comment>
        <translation>
            <numerusform>%n record</numerusform>
            <numerusform>%n records</numerusform>
        </translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>入口功率</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>系统消耗</source>
        <translation>System</translation>
    </message>
    <message>
        <source>净功率</source>
        <translation>Net</translation>
    </message>
    <message>
        <source>电量</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>暂无告警记录</source>
        <translation>No alerts yet</translation>
    </message>
</context>
<context>
    <name>HistoryView</name>
    <message>
        <source>功率历史</source>
        <translation>Power history</translation>
    </message>
    <message>
        <source>导出 CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>选择导出 CSV 的文件夹</source>
        <translation>Choose a folder for the CSV files</translation>
    </message>
    <message>
        <source>正在导出…</source>
        <translation>Exporting…</translation>
    </message>
    <message>
        <source>已导出到 %1</source>
        <translation>Exported to %1</translation>
    </message>
    <message>
        <source>导出失败：%1</source>
        <translation>Export failed: %1</translation>
    </message>
    <message>
        <source>24 小时</source>
        <translation>24 hours</translation>
    </message>
    <message>
        <source>7 天</source>
        <translation>7 days</translation>
    </message>
</context>
<context>
    <name>MainHeader</name>
    <message>
        <source>焦图</source>
        <translation>Joulemap</translation>
    </message>
    <message>
        <source>让每一度电都被看见</source>
        <translation>Every watt in sight</translation>
    </message>
    <message>
        <source>实时</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>更新于 </source>
        <translation>Updated </translation>
    </message>
    <message>
        <source>历史趋势</source>
        <translation>History</translation>
    </message>
    <message>
        <source>更新日志</source>
        <translation>Changelog</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>MainViewModel</name>
    <message>
        <source>%1 入口功率</source>
        <translation>%1 Input power</translation>
    </message>
    <message>
        <source>🔋 电池电量</source>
        <translation>🔋 Battery charge</translation>
    </message>
    <message>
        <source>⚙️ 系统消耗</source>
        <translation>⚙️ System use</translation>
    </message>
    <message>
        <source>🔋 电池净功率</source>
        <translation>🔋 Battery net power</translation>
    </message>
    <message>
        <source>占入口 %1</source>
        <translation>%1 of input</translation>
    </message>
    <message>
        <source>电池在储能</source>
        <translation>Battery charging</translation>
    </message>
    <message>
        <source>电池在供电</source>
        <translation>Battery supplying</translation>
    </message>
    <message>
        <source>占总功率 %1</source>
        <translation>%1 of total</translation>
    </message>
    <message>
        <source> · 估算</source>
        <translation> · estimate</translation>
    </message>
</context>
<context>
    <name>MenuBarPanelModel</name>
    <message>
        <source>充电中</source>
        <translation>Charging</translation>
    </message>
    <message>
        <source>已接电源</source>
        <translation>Plugged in</translation>
    </message>
    <message>
        <source>放电中</source>
        <translation>Discharging</translation>
    </message>
    <message>
        <source>电池储能</source>
        <translation>Battery charging</translation>
    </message>
    <message>
        <source>电池放电</source>
        <translation>Battery discharging</translation>
    </message>
    <message>
        <source>健康度</source>
        <translation>Health</translation>
    </message>
    <message>
        <source>循环</source>
        <translation>Cycles</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temp.</translation>
    </message>
    <message>
        <source>功率去向</source>
        <translation>Power flow</translation>
    </message>
    <message>
        <source>电池健康</source>
        <translation>Battery health</translation>
    </message>
    <message>
        <source>检测到 USB-C 端口正在对外供电，电池消耗会加快</source>
        <translation>A USB-C port is powering a device; the battery drains faster</translation>
    </message>
    <message>
        <source>无电池</source>
        <translation>No battery</translation>
    </message>
</context>
<context>
    <name>MenuBarView</name>
    <message>
        <source>打开主窗口</source>
        <translation>Open main window</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
</context>
<context>
    <name>PowerAggregator</name>
    <message>
        <source>充电器</source>
        <translation>Charger</translation>
    </message>
    <message>
        <source>电池充电</source>
        <translation>Battery charging</translation>
    </message>
    <message>
        <source>显示屏</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>CPU/系统</source>
        <translation>CPU/system</translation>
    </message>
    <message>
        <source>WiFi/外设</source>
        <translation>Wi-Fi/devices</translation>
    </message>
    <message>
        <source>实际</source>
        <translation>actual</translation>
    </message>
    <message>
        <source>交流供电</source>
        <translation>AC power</translation>
    </message>
    <message>
        <source>估算</source>
        <translation>estimate</translation>
    </message>
    <message>
        <source>%1 慢充</source>
        <translation>%1 slow charge</translation>
    </message>
    <message>
        <source>电源</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>USB-PD %1 快充</source>
        <translation>USB-PD %1</translation>
    </message>
    <message>
        <source>至少</source>
        <translation>at least</translation>
    </message>
    <message>
        <source>电池放电 %1</source>
        <translation>Battery discharging %1</translation>
    </message>
    <message>
        <source>电池</source>
        <translation>Battery</translation>
    </message>
    <message>
        <source>放电输出</source>
        <translation>Discharge</translation>
    </message>
    <message>
        <source>充电器功率不足</source>
        <translation>Charger too weak</translation>
    </message>
    <message>
        <source>其他应用</source>
        <translation>Other apps</translation>
    </message>
</context>
<context>
    <name>PowerGroup</name>
    <message>
        <source>硬件</source>
        <translation>Hardware</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apps</translation>
    </message>
    <message>
        <source>电池</source>
        <translation>Battery</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>打开主窗口</source>
        <translation>Open main window</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>未检测到电池</source>
        <translation>No battery found</translation>
    </message>
    <message>
        <source>电量未知</source>
        <translation>Charge unknown</translation>
    </message>
    <message>
        <source>充电 %1</source>
        <translation>Charging %1</translation>
    </message>
    <message>
        <source>放电 %1</source>
        <translation>Discharging %1</translation>
    </message>
    <message>
        <source>已接电源</source>
        <translation>Plugged in</translation>
    </message>
    <message>
        <source>功率未知</source>
        <translation>Power unknown</translation>
    </message>
    <message>
        <source>焦图</source>
        <translation>Joulemap</translation>
    </message>
</context>
<context>
    <name>SankeyGeometry</name>
    <message>
        <source>入口</source>
        <translation>In</translation>
    </message>
    <message>
        <source>去向</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>← 带宽 = 功率</source>
        <translation>← width = power</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>主题模式</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>语言：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>System</translation>
    </message>
    <message>
        <source>预警通知</source>
        <translation>Alerts</translation>
    </message>
    <message>
        <source>高温预警</source>
        <translation>High temperature</translation>
    </message>
    <message>
        <source>电池温度持续过高时通知</source>
        <translation>Notify when the battery stays too hot</translation>
    </message>
    <message>
        <source>异常耗电预警</source>
        <translation>Unusual drain</translation>
    </message>
    <message>
        <source>某进程持续高 CPU 占用时通知</source>
        <translation>Notify when one process keeps the CPU busy</translation>
    </message>
    <message>
        <source>登录时启动</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <source>登录桌面后自动在托盘中运行</source>
        <translation>Runs in the tray after you log in</translation>
    </message>
    <message>
        <source>Prometheus 导出</source>
        <translation>Prometheus export</translation>
    </message>
    <message>
        <source>预警通过桌面的通知服务发送；桌面没有运行通知服务时，预警不会显示。</source>
        <translation>Alerts are sent through the desktop's notification service; without one running, they are not shown.</translation>
    </message>
</context>
<context>
    <name>SystemInfoRows</name>
    <message>
        <source>%1核</source>
        <translation>%1 cores</translation>
    </message>
    <message>
        <source>芯片</source>
        <translation>Chip</translation>
    </message>
    <message>
        <source>内存</source>
        <translation>Memory</translation>
    </message>
    <message>
        <source>可用 %1</source>
        <translation>%1 free</translation>
    </message>
    <message>
        <source>硬盘</source>
        <translation>Disk</translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>About this device</translation>
    </message>
    <message>
        <source>读取中…</source>
        <translation>Reading…</translation>
    </message>
    <message>
        <source>网络</source>
        <translation>Network</translation>
    </message>
</context>
<context>
    <name>UpdateError</name>
    <message>
        <source>无法挂载 dmg</source>
        <translation>Could not mount the dmg</translation>
    </message>
    <message>
        <source>dmg 中未找到 .app</source>
        <translation>No .app in the dmg</translation>
    </message>
    <message>
        <source>服务器响应异常，状态码 %1</source>
        <translation>The server answered with status %1</translation>
    </message>
    <message>
        <source>下载地址不安全，只接受 HTTPS</source>
        <translation>Unsafe download address; only HTTPS is accepted</translation>
    </message>
    <message>
        <source>下载的文件校验失败，与发布版本不符</source>
        <translation>The download does not match the release</translation>
    </message>
    <message>
        <source>无法写入下载文件</source>
        <translation>Could not save the download</translation>
    </message>
    <message>
        <source>无法安装到应用程序文件夹</source>
        <translation>Could not install to the Applications folder</translation>
    </message>
</context>
<context>
    <name>UpdateNotice</name>
    <message>
        <source>发现新版本 v%1</source>
        <translation>Version %1 is available</translation>
    </message>
    <message>
        <source>下载中…%1%</source>
        <translation>Downloading… %1%</translation>
    </message>
    <message>
        <source>正在安装…</source>
        <translation>Installing…</translation>
    </message>
    <message>
        <source>更新完成，点击「重启」生效</source>
        <translation>Updated. Click Restart to finish</translation>
    </message>
    <message>
        <source>更新失败：%1</source>
        <translation>Update failed: %1</translation>
    </message>
    <message>
        <source>一键更新</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>手动下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>重启</source>
        <translation>Restart</translation>
    </message>
</context>
<context>
    <name>joulemap::JoulemapShell</name>
    <message>
        <source>桌面没有系统托盘：关闭此窗口即退出焦图</source>
        <translation>The desktop has no system tray: closing this window quits Joulemap</translation>
    </message>
</context>
<context>
    <name>joulemap::MainWindow</name>
    <message>
        <source>焦图</source>
        <translation>Joulemap</translation>
    </message>
</context>
</TS>
